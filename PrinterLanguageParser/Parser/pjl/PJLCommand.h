#pragma once

#include <cstdint>
#include <string>
#include <string_view>

namespace RawPrintData::PJL {

// One PJL line split into its command, option name and value, or, for
// COMMENT lines, its text. Names and values compare without regard to case.
class PJLCommand {
public:
    // Blank, tab and carriage return separate the atoms of a line.
    static constexpr std::string_view mstrATOM_DELIMITERS{" \t\r"};
    static constexpr std::string_view mstrPJL_PREFIX{"@PJL"};

    // Splits a line given without its line feed.
    explicit PJLCommand(std::string_view line);

    // Whether the line starts with "@PJL" (exact case).
    bool IsPJL() const { return mblnIsPJL; }
    const std::string& GetCommandName() const { return mstrCommandName; }
    const std::string& GetOptionName() const { return mstrOptionName; }
    const std::string& GetOptionValue() const { return mstrOptionValue; }
    const std::string& GetText() const { return mstrText; }

    bool CommandNameIs(std::string_view name) const;
    bool OptionNameIs(std::string_view name) const;
    bool OptionValueIs(std::string_view value) const;
    // The option value as a decimal number; 0 when it is no number or is
    // negative, and it saturates instead of wrapping.
    uint64_t OptionValueAsUnsigned() const;

private:
    // Reads the atom that starts at or after from; returns where it ends.
    size_t mintCaptureAtom(std::string_view line, size_t from, std::string& atom) const;
    // NAME = VALUE after the command.
    void mGetOptionNameAndValue(std::string_view rest);
    // <name ...>value</name> of an XCPT line.
    void mGetXmlOptionNameAndValue(std::string_view rest);
    static std::string_view mTrimString(std::string_view text);

    bool mblnIsPJL = false;
    std::string mstrCommandName;
    std::string mstrOptionName;
    std::string mstrOptionValue;
    std::string mstrText;
};

}  // namespace RawPrintData::PJL
