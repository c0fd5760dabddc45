// The tokenizer's states for binary tokens and the CPCA signature.
#include "PrinterLanguageParser/Parser/Endian.h"
#include "PrinterLanguageParser/Parser/postscript/SystemNameTable.h"
#include "PrinterLanguageParser/Parser/postscript/TokenizerStates.h"

namespace RawPrintData::Postscript::TokenizerStates {

namespace {

const BigEndian BIG_ENDIAN_ORDER;
const LittleEndian LITTLE_ENDIAN_ORDER;

// Token types of the binary encoding.
enum : unsigned char {
    SEQUENCE_FIRST = 128,  // 128 to 131: binary object sequences
    SEQUENCE_LAST = 131,
    INT32_BIG = 132,
    INT32_LITTLE = 133,
    INT16_BIG = 134,
    INT16_LITTLE = 135,
    INT8 = 136,
    FIXED = 137,
    REAL_BIG = 138,
    REAL_LITTLE = 139,
    REAL_NATIVE = 140,
    BOOLEAN = 141,
    STRING8 = 142,
    STRING16_BIG = 143,
    STRING16_LITTLE = 144,
    SYSTEM_NAME_LITERAL = 145,
    SYSTEM_NAME_EXECUTABLE = 146,
    USER_NAME_LITERAL = 147,
    USER_NAME_EXECUTABLE = 148,
    NUMBER_ARRAY = 149,
};

// Bytes per element of a number representation, 0 for one the encoding does not know.
uint64_t mElementSize(unsigned char representation, bool arrayElement)
{
    if (representation <= 31 || (representation >= 128 && representation <= 159))
        return 4;
    if ((representation >= 32 && representation <= 47) || (representation >= 160 && representation <= 175))
        return 2;
    if (arrayElement && (representation == 48 || representation == 49 || representation == 176 ||
                         representation == 177))
        return 4;
    return 0;
}

}  // namespace

// Starts a binary token.
void BinaryTokenState::Enter()
{
    mbytType = 0;
    mbytHeader = {};
    mintHeaderLength = 0;
    mintHeaderReceived = 0;
    mintBodyLength = 0;
    mintBodyReceived = 0;
    mblnTypeRead = false;
    StopWatching();
}

// Whether the header's lengths and counts are big-endian.
bool BinaryTokenState::mIsBigEndianHeader() const
{
    if (mbytType == FIXED || mbytType == NUMBER_ARRAY)
        return mbytHeader[0] < 128;
    return mbytType == 128 || mbytType == 130 || mbytType == STRING16_BIG;
}

// Works out the body length from the complete header.
bool BinaryTokenState::mHeaderComplete()
{
    const Endian& order = mIsBigEndianHeader() ? static_cast<const Endian&>(BIG_ENDIAN_ORDER)
                                               : static_cast<const Endian&>(LITTLE_ENDIAN_ORDER);
    const auto& h = mbytHeader;
    if (mbytType >= SEQUENCE_FIRST && mbytType <= SEQUENCE_LAST) {
        // The overall length counts the type byte and the header: a smaller
        // one is malformed and must not wrap around.
        const bool extended = h[0] == 0;
        const uint64_t overall = extended ? order.Combine_uint32(h[3], h[4], h[5], h[6])
                                          : order.Combine_uint16(h[1], h[2]);
        const uint64_t headerSize = 1 + mintHeaderLength;
        if (overall < headerSize)
            return false;
        mintBodyLength = overall - headerSize;
        return true;
    }
    switch (mbytType) {
    case FIXED:
        mintBodyLength = mElementSize(h[0], false);
        return mintBodyLength != 0;
    case STRING8:
        mintBodyLength = h[0];
        return true;
    case STRING16_BIG:
    case STRING16_LITTLE:
        mintBodyLength = order.Combine_uint16(h[0], h[1]);
        return true;
    case NUMBER_ARRAY: {
        const uint64_t size = mElementSize(h[0], true);
        mintBodyLength = size * order.Combine_uint16(h[1], h[2]);
        return size != 0;
    }
    default:
        return true;  // the body length was set with the type
    }
}

// Takes one byte of a binary token.
ParseDataResultType BinaryTokenState::ProcessByte(unsigned char byte)
{
    if (Watch(byte))
        return ResyncAtDscComment(byte);
    if (!mblnTypeRead) {
        mblnTypeRead = true;
        mbytType = byte;
        if (byte < SEQUENCE_FIRST || byte > NUMBER_ARRAY) {
            GoTo(STATE_WHITE_SPACE);
            return PARSE_RESULT_FAILURE;
        }
        if (byte <= SEQUENCE_LAST)
            mintHeaderLength = 3;
        else if (byte == FIXED || byte == STRING8)
            mintHeaderLength = 1;
        else if (byte == STRING16_BIG || byte == STRING16_LITTLE)
            mintHeaderLength = 2;
        else if (byte == NUMBER_ARRAY)
            mintHeaderLength = 3;
        else if (byte == INT32_BIG || byte == INT32_LITTLE || byte == REAL_BIG || byte == REAL_LITTLE ||
                 byte == REAL_NATIVE)
            mintBodyLength = 4;
        else if (byte == INT16_BIG || byte == INT16_LITTLE)
            mintBodyLength = 2;
        else
            mintBodyLength = 1;  // 8-bit integer, boolean, name indices
        if (mintHeaderLength == 0 && mintBodyLength == 0)
            return mFinish();
        return PARSE_RESULT_NEED_MORE_DATA;
    }
    if (mintHeaderReceived < mintHeaderLength) {
        mbytHeader[mintHeaderReceived++] = byte;
        // A sequence whose count byte is 0 has the extended header.
        if (mbytType <= SEQUENCE_LAST && mintHeaderReceived == 1 && byte == 0)
            mintHeaderLength = 7;
        if (mintHeaderReceived < mintHeaderLength)
            return PARSE_RESULT_NEED_MORE_DATA;
        if (!mHeaderComplete()) {
            GoTo(STATE_WHITE_SPACE);
            return PARSE_RESULT_FAILURE;
        }
        return mintBodyLength == 0 ? mFinish() : PARSE_RESULT_NEED_MORE_DATA;
    }
    if (mintBodyReceived < mbytNumberBody.size())
        mbytNumberBody[mintBodyReceived] = byte;
    ++mintBodyReceived;
    Append(byte);
    return mintBodyReceived == mintBodyLength ? mFinish() : PARSE_RESULT_NEED_MORE_DATA;
}

// Signals the finished token as a number, a system name or raw bytes.
ParseDataResultType BinaryTokenState::mFinish()
{
    const auto& b = mbytNumberBody;
    GoTo(STATE_WHITE_SPACE);
    switch (mbytType) {
    case INT32_BIG: return SignalNumber(BIG_ENDIAN_ORDER.Combine_int32(b[0], b[1], b[2], b[3]));
    case INT32_LITTLE: return SignalNumber(LITTLE_ENDIAN_ORDER.Combine_int32(b[0], b[1], b[2], b[3]));
    case INT16_BIG: return SignalNumber(BIG_ENDIAN_ORDER.Combine_int16(b[0], b[1]));
    case INT16_LITTLE: return SignalNumber(LITTLE_ENDIAN_ORDER.Combine_int16(b[0], b[1]));
    case INT8: return SignalNumber(static_cast<int8_t>(b[0]));
    case REAL_BIG: return SignalNumber(BIG_ENDIAN_ORDER.Combine_real32(b[0], b[1], b[2], b[3]));
    case REAL_LITTLE: return SignalNumber(LITTLE_ENDIAN_ORDER.Combine_real32(b[0], b[1], b[2], b[3]));
    case BOOLEAN: return SignalNumber(b[0] != 0 ? 1.0 : 0.0);
    case SYSTEM_NAME_LITERAL:
    case SYSTEM_NAME_EXECUTABLE: {
        const std::string_view name = SystemName(b[0]);
        Text().clear();
        if (mbytType == SYSTEM_NAME_LITERAL && !name.empty())
            Append('/');
        Append(name);
        return Signal(TOKEN_NAME);
    }
    default:
        return Signal(TOKEN_BINARY);
    }
}

// Starts watching for the CPCA signature.
void CpcaSignatureState::Enter()
{
    Text().clear();
}

// Matches CD CA 10; the tokenizer stops right after it.
ParseDataResultType CpcaSignatureState::ProcessByte(unsigned char byte)
{
    const size_t matched = Text().size();
    if ((byte == 0xCD && matched == 0) || (byte == 0xCA && matched == 1)) {
        Append(byte);
        return PARSE_RESULT_NEED_MORE_DATA;
    }
    if (byte == 0x10 && matched == 2) {
        Text().clear();
        SetSwitchToLanguage(LANGUAGE_CPCA);
        // Back between tokens, so that PostScript resumes cleanly after CPCA.
        GoTo(STATE_WHITE_SPACE);
        return PARSE_RESULT_SWITCH_LANGUAGE;
    }
    // Not the signature: the byte is dropped and the bytes taken stay at the
    // front of the next token.
    GoTo(STATE_WHITE_SPACE);
    return PARSE_RESULT_NEED_MORE_DATA;
}

}  // namespace RawPrintData::Postscript::TokenizerStates
