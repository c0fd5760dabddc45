#include "PrinterLanguageParser/Parser/postscript/PostscriptGraphicsState.h"

namespace RawPrintData::Postscript {

// Pushes a copy of the current state, or counts it beyond the limit.
void PostscriptGraphicsStateStack::mPush(bool saved)
{
    if (mvecStack.size() >= mintMAX_DEPTH) {
        ++mintOverflow;
        return;
    }
    mvecStack.push_back(mCurrent);
    mvecStack.back().SetHasBeenSaved(saved);
}

// gsave.
void PostscriptGraphicsStateStack::Push()
{
    mPush(mCurrent.HasBeenSaved());
}

// save.
void PostscriptGraphicsStateStack::MarkSavedAndPush()
{
    mPush(true);
}

// grestore.
void PostscriptGraphicsStateStack::Pop()
{
    if (mintOverflow > 0) {
        --mintOverflow;
        return;
    }
    if (mvecStack.empty())
        return;
    mCurrent = mvecStack.back();
    mvecStack.pop_back();
}

// grestoreall and restore.
void PostscriptGraphicsStateStack::PopToSaved(bool endSave)
{
    mintOverflow = 0;
    while (!mvecStack.empty() && !mvecStack.back().HasBeenSaved())
        mvecStack.pop_back();
    if (mvecStack.empty())
        return;
    mCurrent = mvecStack.back();
    if (endSave)
        mvecStack.pop_back();
}

}  // namespace RawPrintData::Postscript
