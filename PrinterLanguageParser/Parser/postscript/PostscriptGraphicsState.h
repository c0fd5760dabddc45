#pragma once

#include "PrinterLanguageParser/Parser/postscript/PostscriptColorSpace.h"
#include "PrinterLanguageParser/Parser/postscript/PostscriptMedia.h"
#include "PrinterLanguageParser/Parser/postscript/PostscriptRequirements.h"

#include <cstddef>
#include <vector>

namespace RawPrintData::Postscript {

// What the parser follows of PostScript's graphics state: the colour space,
// whether the last colour set was not grey, whether the state was saved by
// "save", and the page-device requirements and medium.
class PostscriptGraphicsState {
public:
    PostscriptGraphicsState() = default;
    PostscriptGraphicsState(PostscriptColorSpace colorSpace, bool color, bool saved)
        : mintColorSpace(colorSpace), mblnColor(color), mblnSaved(saved)
    {
    }

    void SetColor(bool color) { mblnColor = color; }
    void SetHasBeenSaved(bool saved) { mblnSaved = saved; }
    void SetColorSpace(PostscriptColorSpace colorSpace) { mintColorSpace = colorSpace; }
    // Colour when the space is not grey and the last colour was not grey.
    bool IsColor() const { return mintColorSpace != COLOR_SPACE_DEVICE_GRAY && mblnColor; }
    bool HasBeenSaved() const { return mblnSaved; }
    PostscriptColorSpace GetColorSpace() const { return mintColorSpace; }
    PostscriptRequirements& Requirements() { return mRequirements; }
    const PostscriptRequirements& Requirements() const { return mRequirements; }
    PostscriptMedia& Media() { return mMedia; }
    const PostscriptMedia& Media() const { return mMedia; }

private:
    PostscriptColorSpace mintColorSpace = COLOR_SPACE_DEVICE_GRAY;
    bool mblnColor = false;
    bool mblnSaved = false;
    PostscriptRequirements mRequirements;
    PostscriptMedia mMedia;
};

// The current graphics state and the states saved by gsave and save. The
// stack keeps at most mintMAX_DEPTH entries: deeper saves are only counted,
// and restoring one of them leaves the current state as it is, so a job that
// saves without end cannot grow it.
class PostscriptGraphicsStateStack {
public:
    static constexpr size_t mintMAX_DEPTH = 256;

    PostscriptGraphicsState& Current() { return mCurrent; }
    const PostscriptGraphicsState& Current() const { return mCurrent; }
    void SetCurrent(const PostscriptGraphicsState& state) { mCurrent = state; }

    // gsave: pushes a copy of the current state.
    void Push();
    // save: pushes a copy marked as saved.
    void MarkSavedAndPush();
    // grestore: the top becomes current; nothing on an empty stack.
    void Pop();
    // grestoreall: back to the newest saved state, which stays on the stack;
    // restore (endSave): back to it, ending that save. Without one the stack
    // ends empty.
    void PopToSaved(bool endSave);

    size_t Depth() const { return mvecStack.size() + mintOverflow; }

private:
    void mPush(bool saved);

    PostscriptGraphicsState mCurrent;
    std::vector<PostscriptGraphicsState> mvecStack;
    size_t mintOverflow = 0;  // saves beyond the limit
};

}  // namespace RawPrintData::Postscript
