#pragma once

#include <array>
#include <cstdint>
#include <span>
#include <string_view>

namespace RawPrintData::ESCP {

// One ESC/Page command: GS (0x1D), numeric parameters separated by ";",
// the command's lower-case letters and an upper-case letter that ends it,
// as in GS 14 psE (A4 paper) or GS 0;0.24 muE (the unit). A command whose
// letters end in "{" before the last letter carries data, as many bytes as
// its first parameter gives (GS 172;96;32;0 bi{I and its 172 bytes of
// raster image): the parser skips them unread.
class EscPageCommand {
public:
    static constexpr unsigned char mbytGROUP_SEPARATOR = 0x1D;
    // The longest command read: a GS that starts nothing shorter is a byte of
    // data, so the bytes kept across chunks stay few.
    static constexpr uint64_t mintMAX_LENGTH = 96;
    static constexpr size_t mintMAX_PARAMETERS = 8;

    enum class State {
        Complete,
        Incomplete,   // cut by the end of the data at hand
        NotACommand,  // the GS starts no command
    };

    // Reads the command from the bytes at hand from its GS on (at most
    // mintMAX_LENGTH of them are looked at).
    State Read(std::span<const unsigned char> bytes);

    // After Complete: the bytes from GS to the last letter, the bytes of data
    // that follow, the letters, and the parameters (missing ones, and those
    // past mintMAX_PARAMETERS, are 0; ParameterCount counts them all).
    uint64_t Length() const { return mintLength; }
    uint64_t DataLength() const { return mintDataLength; }
    std::string_view Name() const { return {mstrName.data(), mintNameLength}; }
    double Parameter(size_t index) const
    {
        return index < mintParameterCount && index < mintMAX_PARAMETERS ? mdblParameters[index] : 0;
    }
    size_t ParameterCount() const { return mintParameterCount; }

private:
    uint64_t mintLength = 0;
    uint64_t mintDataLength = 0;
    std::array<char, 12> mstrName{};
    size_t mintNameLength = 0;
    std::array<double, mintMAX_PARAMETERS> mdblParameters{};
    size_t mintParameterCount = 0;
};

}  // namespace RawPrintData::ESCP
