#pragma once

#include <array>
#include <cstdint>

namespace RawPrintData::ESCP {

// How the parameters of an ESC/P command are laid out after its command byte,
// as Epson's ESC/P and ESC/P 2 references define them. Parameters are read by
// this layout rather than by their values, so a parameter byte that happens
// to be a form feed or an escape is never taken for one.
enum class CommandLayout : uint8_t {
    Unknown,          // no command the references define
    Fixed,            // a fixed count of bytes (FixedParameterCount)
    NulEndedList,     // ESC B, ESC D: values ended by NUL
    ChannelAndList,   // ESC b: a channel, then values ended by NUL
    PageLength,       // ESC C n, or ESC C NUL n (in inches)
    Graphics8Dot,     // ESC K, L, Y, Z: nL nH, then one byte per column
    GraphicsMode,     // ESC * m nL nH: the bytes per column follow from m
    Graphics9Pin,     // ESC ^ m nL nH: two bytes per column
    RasterGraphics,   // ESC . c v h m nL nH: m rows of nL + 256 nH dots
    Special,          // read by rules of their own (ESC @, ESC (, ESC $, ESC \, ESC r, ESC i, ESC U)
};

// The longest lists ESC B (16 values) and ESC D (32 values) take before NUL.
inline constexpr uint64_t MAX_VERTICAL_TABS = 16;
inline constexpr uint64_t MAX_HORIZONTAL_TABS = 32;

struct CommandDefinition {
    CommandLayout mLayout = CommandLayout::Unknown;
    uint8_t mintFixedParameters = 0;
};

// The definitions of the command bytes " " to "x", indexed by the byte.
inline constexpr std::array<CommandDefinition, 128> ESCP_COMMANDS = [] {
    std::array<CommandDefinition, 128> table{};
    const auto fixed = [&table](const char* commands, uint8_t count) {
        for (const char* command = commands; *command != '\0'; ++command)
            table[static_cast<unsigned char>(*command)] = {CommandLayout::Fixed, count};
    };
    // Type style, pitch, spacing, margins, tabs and character set commands.
    fixed("#0124567<=>EFGHMOPTg", 0);
    fixed(" !%+-/3AIJNQRSWahjklmpqstwx", 1);
    fixed("?cef", 2);
    fixed(":X", 3);
    table['B'] = {CommandLayout::NulEndedList, 0};
    table['D'] = {CommandLayout::NulEndedList, 0};
    table['b'] = {CommandLayout::ChannelAndList, 0};
    table['C'] = {CommandLayout::PageLength, 0};
    for (const char command : {'K', 'L', 'Y', 'Z'})
        table[static_cast<unsigned char>(command)] = {CommandLayout::Graphics8Dot, 0};
    table['*'] = {CommandLayout::GraphicsMode, 0};
    table['^'] = {CommandLayout::Graphics9Pin, 0};
    table['.'] = {CommandLayout::RasterGraphics, 0};
    for (const char command : {'@', '(', '$', '\\', 'r', 'i', 'U'})
        table[static_cast<unsigned char>(command)] = {CommandLayout::Special, 0};
    return table;
}();

// The bytes each column of ESC * m takes: 24-dot modes (32 to 40) send 3,
// 48-dot modes (71 to 73) send 6, the 8-dot modes one.
constexpr uint64_t BytesPerColumn(unsigned int mode)
{
    if ((mode & 64) != 0)
        return 6;
    if ((mode & 32) != 0)
        return 3;
    return 1;
}

}  // namespace RawPrintData::ESCP
