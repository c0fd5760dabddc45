#pragma once

#include <cstddef>
#include <cstring>
#include <memory>
#include <string_view>

namespace RawPrintData::Postscript {

// The text of a kept token: short texts (most names and numbers) in place,
// longer ones in storage that is kept and reused, so taking a new text is a
// copy of its bytes and nothing more.
class TokenText {
public:
    TokenText() = default;
    explicit TokenText(std::string_view text) { Assign(text); }
    TokenText(const TokenText& other) { Assign(other.View()); }
    TokenText& operator=(const TokenText& other)
    {
        if (this != &other)
            Assign(other.View());
        return *this;
    }
    ~TokenText() = default;

    std::string_view View() const { return std::string_view(mData(), mintSize); }

    void Assign(std::string_view text)
    {
        const size_t size = text.size();
        if (size > mintCapacity)
            mGrow(size);
        mCopy(mData(), text.data(), size);
        mintSize = size;
    }

private:
    static constexpr size_t mintINLINE = 24;

    char* mData() { return mbytLong ? mbytLong.get() : mbytInline; }
    const char* mData() const { return mbytLong ? mbytLong.get() : mbytInline; }
    void mGrow(size_t size);
    // Short copies as two overlapping fixed-size moves, which need no call.
    static void mCopy(char* target, const char* source, size_t size)
    {
        if (size >= 8 && size <= 16) {
            std::memcpy(target, source, 8);
            std::memcpy(target + size - 8, source + size - 8, 8);
        } else if (size >= 4 && size < 8) {
            std::memcpy(target, source, 4);
            std::memcpy(target + size - 4, source + size - 4, 4);
        } else if (size != 0 && size < 4) {
            // The first, middle and last bytes cover one to three bytes.
            target[0] = source[0];
            target[size / 2] = source[size / 2];
            target[size - 1] = source[size - 1];
        } else if (size != 0) {
            std::memcpy(target, source, size);
        }
    }

    size_t mintSize = 0;
    size_t mintCapacity = mintINLINE;
    std::unique_ptr<char[]> mbytLong;
    char mbytInline[mintINLINE] = {};
};

}  // namespace RawPrintData::Postscript
