#pragma once

#include <cstdint>

namespace RawPrintData::PCL5 {

// The number in a parameter's value text, read as strtoul reads it: leading
// white space, an optional sign, then decimal digits up to the first other
// byte ("1.5" is 1, "-12345" is -12345). The bytes arrive one at a time, so
// nothing of the text is stored, and the magnitude saturates at the 32-bit
// range: an overlong digit string neither wraps nor overflows.
class ParameterValue {
public:
    void Clear()
    {
        mPhase = Phase::Leading;
        mblnNegative = false;
        mintMagnitude = 0;
    }

    void Add(unsigned char byte)
    {
        const bool digit = byte >= '0' && byte <= '9';
        switch (mPhase) {
        case Phase::Leading:
            if (byte == ' ' || (byte >= '\t' && byte <= '\r'))
                return;
            if (byte == '+' || byte == '-') {
                mblnNegative = byte == '-';
                mPhase = Phase::Sign;
                return;
            }
            [[fallthrough]];
        case Phase::Sign:
        case Phase::Digits:
            if (!digit) {
                mPhase = Phase::Done;
                return;
            }
            mPhase = Phase::Digits;
            if (mintMagnitude <= mintLIMIT)
                mintMagnitude = mintMagnitude * 10 + (byte - '0');
            return;
        case Phase::Done:
            return;
        }
    }

    // The value as a 32-bit signed number, saturated at its range.
    int32_t Get() const
    {
        if (mblnNegative)
            return mintMagnitude > mintLIMIT ? INT32_MIN : static_cast<int32_t>(-mintMagnitude);
        return mintMagnitude > INT32_MAX ? INT32_MAX : static_cast<int32_t>(mintMagnitude);
    }

private:
    enum class Phase : uint8_t { Leading, Sign, Digits, Done };

    // Past this magnitude the value is saturated in either direction.
    static constexpr int64_t mintLIMIT = int64_t{INT32_MAX} + 1;

    Phase mPhase = Phase::Leading;
    bool mblnNegative = false;
    int64_t mintMagnitude = 0;
};

}  // namespace RawPrintData::PCL5
