#include "PrinterLanguageParser/Parser/pcl5/ParameterizedEscapeSequence.h"

#include "PrinterLanguageParser/Parser/CommandText.h"
#include "PrinterLanguageParser/Parser/RawLanguageType.h"

#include <algorithm>
#include <array>
#include <string_view>

namespace RawPrintData::PCL5 {

namespace {

// ESC % -12345 X, the universal exit language.
constexpr int32_t UNIVERSAL_EXIT_VALUE = -12345;

// ESC * c 1 P fills a rectangle with white, which draws nothing.
constexpr int32_t ERASING_FILL = 1;

constexpr unsigned char ESCAPE = ParameterizedEscapeSequence::mbytESCAPE;

constexpr bool IsTerminatingParameter(unsigned char byte)
{
    return ParameterizedEscapeSequence::IsTerminatingParameter(byte);
}

// Whether a group has any pair that mActOnPair acts on.
constexpr bool GroupActs(SequenceGroup group)
{
    switch (group.mbytSign) {
    case '%':
        return true;
    case '&':
        return group.mbytCharacter == 'l' || group.mbytCharacter == 'a' || group.mbytCharacter == 'b' ||
               group.mbytCharacter == 'n' || group.mbytCharacter == 'p';
    case '(':
        return group.mbytCharacter == 's' || group.mbytCharacter == 'f';
    case ')':
        return group.mbytCharacter == 's';
    case '*':
        switch (group.mbytCharacter) {
        case 'b':
        case 'c':
        case 'g':
        case 'i':
        case 'l':
        case 'm':
        case 'o':
        case 'r':
        case 't':
        case 'v':
            return true;
        default:
            return false;
        }
    default:
        return false;
    }
}

// Announced data is counted in bytes; a negative count announces none.
constexpr uint64_t DataLength(int32_t value)
{
    return value > 0 ? static_cast<uint64_t>(value) : 0;
}

}  // namespace

// The number in a value text as strtoul reads it ("1.5" is 1, " -3" is -3,
// "" is 0), saturated at the 32-bit range so that an overlong digit string
// neither wraps nor overflows.
int32_t ParameterizedEscapeSequence::mReadValueText(std::span<const unsigned char> text)
{
    const std::string_view characters(reinterpret_cast<const char*>(text.data()), text.size());
    return static_cast<int32_t>(std::clamp<int64_t>(ReadSigned(characters).value_or(0), INT32_MIN, INT32_MAX));
}

const std::array<std::array<bool, 256>, 16> ParameterizedEscapeSequence::mINERT_GROUPS = [] {
    std::array<std::array<bool, 256>, 16> table{};
    for (const unsigned char sign : {'&', '(', ')', '*'})
        for (unsigned int character = 0; character < 256; ++character)
            table[sign - mbytFIRST_INERT_SIGN][character] =
                !GroupActs(SequenceGroup{sign, static_cast<unsigned char>(character)});
    return table;
}();

// Value text and lower-case parameters run on to a terminating parameter or
// an ESC; as in Read, the sequence ends after the one or before the other.
uint64_t ParameterizedEscapeSequence::InertLength(std::span<const unsigned char> bytes)
{
    if (bytes.size() < 4)
        return 0;
    if (!IsInertGroup(bytes[1], bytes[2]))
        return 0;
    const size_t end = static_cast<size_t>(std::min<uint64_t>(bytes.size(), mintMAX_SEQUENCE_LENGTH));
    for (size_t index = 3; index < end; ++index) {
        const unsigned char byte = bytes[index];
        if (IsTerminatingParameter(byte))
            return index + 1;
        if (byte == ESCAPE)
            return index;
    }
    return 0;
}

// Reads a sequence from its ESC.
SequenceState ParameterizedEscapeSequence::Process(const DataBuffer& buffer, uint64_t escape)
{
    mContiguous.Bind(buffer);
    return Read(mContiguous, escape);
}

// Reads a sequence from its ESC in bound bytes.
SequenceState ParameterizedEscapeSequence::Read(ContiguousBytes& bytes, uint64_t escape)
{
    mStart(bytes, escape);
    return mParseFrom(1);
}

// Reads the rest of a combined sequence after its embedded data.
SequenceState ParameterizedEscapeSequence::Resume(ContiguousBytes& bytes, uint64_t position, SequenceGroup group)
{
    mStart(bytes, position);
    return mParseGroup(0, group);
}

// Takes the bytes from the start, as many as the length bound allows.
void ParameterizedEscapeSequence::mStart(ContiguousBytes& bytes, uint64_t start)
{
    mClear();
    mContinueGroup.reset();
    mblnRasterRows = false;
    mbytSequence = bytes.View(start, mintMAX_SEQUENCE_LENGTH + 1);
}

// Passes over bytes until a group sign or a terminating character.
SequenceState ParameterizedEscapeSequence::mParseFrom(uint64_t position)
{
    for (;; ++position) {
        if (mTooLong(position))
            return SequenceState::Rejected;
        if (position >= mbytSequence.size())
            return SequenceState::Incomplete;
        const unsigned char byte = mbytSequence[position];
        if (byte == ESCAPE) {
            mintLength = position;  // a sequence cut short: the next one starts here
            return SequenceState::Complete;
        }
        if (IsTerminatingParameter(byte)) {
            mintLength = position + 1;
            return SequenceState::Complete;
        }
        if (byte == '%')
            return mParseGroup(position + 1, SequenceGroup{byte, 0});
        if (byte == '&' || byte == '(' || byte == ')' || byte == '*') {
            if (mTooLong(position + 1))
                return SequenceState::Rejected;
            if (position + 1 >= mbytSequence.size())
                return SequenceState::Incomplete;
            return mParseGroup(position + 2, SequenceGroup{byte, mbytSequence[position + 1]});
        }
    }
}

// Collects the value text up to the next parameter character: lower case
// continues the sequence, "@" to "^" ends it; every other byte is value text.
SequenceState ParameterizedEscapeSequence::mParseValuePair(uint64_t& position, ValuePair& pair)
{
    const ValueText text = ReadValue(mbytSequence, position);
    if (text.mState != SequenceState::Complete)
        return text.mState;
    const bool plus = position < mbytSequence.size() && mbytSequence[position] == '+';
    const uint64_t index = text.mintParameter;
    const int32_t value = text.mintValue;

    const unsigned char byte = mbytSequence[index];
    if (byte == ESCAPE) {
        pair = ValuePair{0, 0, false, true};
        position = index;
        return SequenceState::Complete;
    }
    const bool terminating = IsTerminatingParameter(byte);
    pair = ValuePair{terminating ? byte : static_cast<unsigned char>(byte - 32), value, terminating, false, plus};
    position = index + 1;
    return SequenceState::Complete;
}

// Adds the strategies for the pairs that bear on accounting.
bool ParameterizedEscapeSequence::mActOnPair(SequenceGroup group, const ValuePair& pair)
{
    const unsigned char parameter = pair.mbytParameter;
    const unsigned char character = group.mbytCharacter;
    switch (group.mbytSign) {
    case '%':
        if (parameter == 'A') {
            mAddStrategy(SwitchLanguageStrategy(LANGUAGE_PCL5));
        } else if (parameter == 'B') {
            mAddStrategy(SwitchLanguageStrategy(LANGUAGE_HPGL));
        } else if (parameter == 'X' && pair.mintValue == UNIVERSAL_EXIT_VALUE) {
            mAddStrategy(ResetParserStrategy());
            mAddStrategy(SwitchLanguageStrategy(LANGUAGE_PJL));
        }
        return false;
    case '&':
        if (character == 'l') {
            if (parameter == 'A') {
                mAddStrategy(SetPaperSizeStrategy(pair.mintValue));
            } else if (parameter == 'O') {
                const bool landscape = pair.mintValue == 1 || pair.mintValue == 3;
                mAddStrategy(SetJobPropertyStrategy<RawPaperOrientation>(
                    PROPERTY_DEFAULT_ORIENTATION, landscape ? ORIENTATION_LANDSCAPE : ORIENTATION_PORTRAIT));
            } else if (parameter == 'S') {
                mAddStrategy(SetJobPropertyStrategy<bool>(PROPERTY_DUPLEX, pair.mintValue != 0));
            } else if (parameter == 'X') {
                // A negative count asks for no copies; the frame ignores 0.
                mAddStrategy(SetJobPropertyStrategy<unsigned long>(
                    PROPERTY_COPIES, static_cast<unsigned long>(std::max(pair.mintValue, 0))));
            } else if (parameter == 'H') {
                // Every paper source, 0 included, first prints the page.
                mAddStrategy(EjectPageStrategy());
            }
            return false;
        }
        if (character == 'a') {
            // Selecting a side of the sheet (ESC & a # G) first prints the page.
            if (parameter == 'G')
                mAddStrategy(EjectPageStrategy());
            // A move down moves raster rows down the page.
            else if (parameter == 'V' && pair.mblnPlus)
                mAddStrategy(RasterStrategy(RasterStrategy::Kind::MoveDown, pair.mintValue));
            return false;
        }
        if (character == 'b' || character == 'n')
            return mAddSkipBytesIfParamIs(pair, 'W');
        if (character == 'p')
            return mAddSkipBytesIfParamIs(pair, 'X', DataPrints::Yes);  // transparent print data
        return false;
    case '(':
        if (character == 's' || character == 'f')
            return mAddSkipBytesIfParamIs(pair, 'W');
        return false;
    case ')':
        if (character == 's')
            return mAddSkipBytesIfParamIs(pair, 'W');
        return false;
    case '*':
        switch (character) {
        case 'c':
            // A rectangle filled with anything but white is drawn.
            if (parameter == 'P' && pair.mintValue != ERASING_FILL)
                mAddStrategy(MarkPageStrategy());
            return mAddSkipBytesIfParamIs(pair, 'W');
        case 'g':
            // Configure raster data: the parser reads it for the raster's layout.
            if (parameter != 'W' || DataLength(pair.mintValue) == 0)
                return false;
            mAddStrategy(RasterStrategy(RasterStrategy::Kind::RasterConfiguration, pair.mintValue));
            return !pair.mblnTerminating;
        case 'o':
            // Configure driver: the parser reads it for a grey print mode.
            if (parameter != 'W' || DataLength(pair.mintValue) == 0)
                return false;
            mAddStrategy(RasterStrategy(RasterStrategy::Kind::DriverConfiguration, pair.mintValue));
            return !pair.mblnTerminating;
        case 'i':
        case 'l':
        case 'm':
            return mAddSkipBytesIfParamIs(pair, 'W');
        case 'r':
            if (parameter == 'U') {
                mAddStrategy(SetJobPropertyStrategy<RawColorType>(
                    PROPERTY_COLOR_TYPE, pair.mintValue == 1 ? COLOR_TYPE_MONO : COLOR_TYPE_COLOR));
                mAddStrategy(RasterStrategy(RasterStrategy::Kind::Planes, pair.mintValue));
            } else if (parameter == 'A') {
                mAddStrategy(RasterStrategy(RasterStrategy::Kind::Start, 0));
            }
            return false;
        case 't':
            // The raster's resolution: colour is judged in its dots.
            if (parameter == 'R')
                mAddStrategy(RasterStrategy(RasterStrategy::Kind::Resolution, pair.mintValue));
            return false;
        case 'v':
            if (parameter != 'W')
                return false;
            mAddStrategy(SetJobPropertyStrategy<RawColorType>(PROPERTY_COLOR_TYPE, COLOR_TYPE_COLOR));
            // Configure image data: the parser reads it for the raster's layout.
            if (DataLength(pair.mintValue) == 0)
                return false;
            mAddStrategy(RasterStrategy(RasterStrategy::Kind::ImageData, pair.mintValue));
            return !pair.mblnTerminating;
        default:
            return false;
        }
    default:
        return false;
    }
}

// Reads value pairs of one group until the terminating one, or until a pair
// that announces data embedded in the sequence.
SequenceState ParameterizedEscapeSequence::mParseGroup(uint64_t position, SequenceGroup group)
{
    // Most groups (cursor moves, fonts by attributes, margins) carry no pair
    // that bears on accounting: their pairs are only read.
    const bool acts = GroupActs(group);
    if (group.mbytSign == '*' && group.mbytCharacter == 'b') {
        // Raster rows have a reader of their own.
        mintLength = position;
        mblnRasterRows = true;
        return SequenceState::Complete;
    }
    for (;;) {
        ValuePair pair;
        const SequenceState state = mParseValuePair(position, pair);
        if (state != SequenceState::Complete)
            return state;
        if (pair.mblnCut) {
            // Cut short by an ESC: the pairs read so far stand (a driver's
            // ESC * b 3 m ESC * b 245 Y sets the compression).
            mintLength = position;
            return SequenceState::Complete;
        }
        const bool dataFollows = acts && mActOnPair(group, pair);
        if (pair.mblnTerminating || dataFollows) {
            mintLength = position;
            if (dataFollows)
                mContinueGroup = group;
            return SequenceState::Complete;
        }
    }
}

// Skips the pair's value in bytes when its parameter matches, marking the
// page when the data prints. True when the data lies inside a combined
// sequence, which then stops where the data begins.
bool ParameterizedEscapeSequence::mAddSkipBytesIfParamIs(const ValuePair& pair, unsigned char parameter,
                                                         DataPrints prints)
{
    if (pair.mbytParameter != parameter)
        return false;
    const uint64_t length = DataLength(pair.mintValue);
    if (length == 0)
        return false;
    if (prints == DataPrints::Yes)
        mAddStrategy(MarkPageStrategy());
    mAddStrategy(SkipBytesStrategy(length));
    return !pair.mblnTerminating;
}

}  // namespace RawPrintData::PCL5
