#include "PrinterLanguageParser/Parser/escp/EscPageCommand.h"

#include <cstdint>

namespace RawPrintData::ESCP {

namespace {

constexpr bool IsDigit(unsigned char byte)
{
    return byte >= '0' && byte <= '9';
}

constexpr bool IsLowerCase(unsigned char byte)
{
    return byte >= 'a' && byte <= 'z';
}

// The letters that end a command.
constexpr bool IsFinalLetter(unsigned char byte)
{
    return byte >= '@' && byte <= 'Z';
}

// A data length from the first parameter: its whole part, none when negative.
uint64_t DataLengthOf(double parameter)
{
    if (!(parameter > 0))
        return 0;
    if (parameter >= 1e18)
        return UINT64_MAX;
    return static_cast<uint64_t>(parameter);
}

}  // namespace

// Reads parameters, letters and the final letter, one byte at a time.
EscPageCommand::State EscPageCommand::Read(std::span<const unsigned char> bytes)
{
    mintParameterCount = 0;
    mintNameLength = 0;
    mdblParameters.fill(0);

    // The parameter being read: its value so far, sign and decimal place.
    double value = 0;
    double scale = 0;  // 0 before the decimal point, else the next digit's weight
    bool negative = false;
    bool inParameter = false;
    const auto finishParameter = [&] {
        if (mintParameterCount < mintMAX_PARAMETERS)
            mdblParameters[mintParameterCount] = negative ? -value : value;
        ++mintParameterCount;
        value = 0;
        scale = 0;
        negative = false;
        inParameter = false;
    };

    bool carriesData = false;
    for (uint64_t index = 1;; ++index) {
        if (index >= mintMAX_LENGTH)
            return State::NotACommand;
        if (index >= bytes.size())
            return State::Incomplete;
        const unsigned char byte = bytes[index];
        if (mintNameLength == 0 && !carriesData) {
            // Still among the parameters.
            if (IsDigit(byte)) {
                if (scale == 0) {
                    value = value * 10 + (byte - '0');
                } else {
                    value += (byte - '0') * scale;
                    scale /= 10;
                }
                inParameter = true;
                continue;
            }
            if (byte == '.' && scale == 0) {
                scale = 0.1;
                inParameter = true;
                continue;
            }
            if (byte == '-' && !inParameter) {
                negative = true;
                inParameter = true;
                continue;
            }
            if (byte == ';') {
                finishParameter();
                continue;
            }
            if (inParameter)
                finishParameter();
        }
        if (IsLowerCase(byte) && !carriesData) {
            if (mintNameLength + 1 >= mstrName.size())
                return State::NotACommand;
            mstrName[mintNameLength++] = static_cast<char>(byte);
            continue;
        }
        if (byte == '{' && !carriesData && mintNameLength > 0) {
            carriesData = true;
            mstrName[mintNameLength++] = '{';
            continue;
        }
        if (!IsFinalLetter(byte))
            return State::NotACommand;
        mstrName[mintNameLength++] = static_cast<char>(byte);
        mintLength = index + 1;
        mintDataLength = carriesData ? DataLengthOf(Parameter(0)) : 0;
        return State::Complete;
    }
}

}  // namespace RawPrintData::ESCP
