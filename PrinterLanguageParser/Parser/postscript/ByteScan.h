#pragma once

#include <array>
#include <bit>
#include <cstddef>

#if defined(__SSE2__)
#include <emmintrin.h>
#endif

// Searches for the next byte that matters, sixteen bytes at a time where the
// processor allows: the tokenizer and the basic counter pass over string
// bodies, comments, image data and names with these instead of byte by byte.
namespace RawPrintData::Postscript::ByteScan {

#if defined(__SSE2__)
// The bytes of the chunk equal to any of the listed bytes.
template <unsigned char First, unsigned char... Rest>
inline __m128i MatchAny(__m128i chunk)
{
    const __m128i match = _mm_cmpeq_epi8(chunk, _mm_set1_epi8(static_cast<char>(First)));
    if constexpr (sizeof...(Rest) == 0)
        return match;
    else
        return _mm_or_si128(match, MatchAny<Rest...>(chunk));
}

inline __m128i Load(const unsigned char* bytes)
{
    return _mm_loadu_si128(reinterpret_cast<const __m128i*>(bytes));
}
#endif

// The index of the first byte in [from, length) that is one of Bytes, or length.
template <unsigned char... Bytes>
inline size_t FindFirstOf(const unsigned char* data, size_t from, size_t length)
{
#if defined(__SSE2__)
    for (; from + 16 <= length; from += 16) {
        const unsigned found = static_cast<unsigned>(_mm_movemask_epi8(MatchAny<Bytes...>(Load(data + from))));
        if (found != 0)
            return from + static_cast<size_t>(std::countr_zero(found));
    }
#endif
    for (; from < length; ++from) {
        const unsigned char byte = data[from];
        if (((byte == Bytes) || ...))
            return from;
    }
    return length;
}

// The index of the first byte in [from, length) that is Single, or the first
// byte of one of the pairs First1 Second1 ... (a pair's first byte as the
// last of the bytes counts, its second byte being unknown), or length. A pair
// is matched from both of its bytes at once, so a first byte followed by
// anything else is passed over in bulk.
template <unsigned char Single, unsigned char First1, unsigned char Second1, unsigned char First2,
          unsigned char Second2, unsigned char First3, unsigned char Second3>
inline size_t FindFirstOfOrPair(const unsigned char* data, size_t from, size_t length)
{
#if defined(__SSE2__)
    for (; from + 17 <= length; from += 16) {
        const __m128i chunk = Load(data + from);
        const __m128i next = Load(data + from + 1);
        const __m128i pairs = _mm_or_si128(
            _mm_and_si128(MatchAny<First1>(chunk), MatchAny<Second1>(next)),
            _mm_or_si128(_mm_and_si128(MatchAny<First2>(chunk), MatchAny<Second2>(next)),
                         _mm_and_si128(MatchAny<First3>(chunk), MatchAny<Second3>(next))));
        const unsigned found = static_cast<unsigned>(_mm_movemask_epi8(_mm_or_si128(MatchAny<Single>(chunk), pairs)));
        if (found != 0)
            return from + static_cast<size_t>(std::countr_zero(found));
    }
#endif
    for (; from < length; ++from) {
        const unsigned char byte = data[from];
        if (byte == Single)
            return from;
        if (byte != First1 && byte != First2 && byte != First3)
            continue;
        if (from + 1 == length)
            return from;
        const unsigned char next = data[from + 1];
        if ((byte == First1 && next == Second1) || (byte == First2 && next == Second2) ||
            (byte == First3 && next == Second3))
            return from;
    }
    return length;
}

// Like FindFirstOf with the line ends CR and LF added, but passes over the
// line ends after which a DscLineWatcher lets go at once: those followed,
// within the bytes, by a line whose first byte is neither "%", a line end nor
// one of Bytes (that first byte is passed over too). Data read this way (a
// string's body, image data) takes such line ends and first bytes as it takes
// any other byte, and the watcher leaves the line as it found it: not at a
// line start. Returns the first byte listed, or a line end that may begin a
// comment or whose next line lies beyond the bytes, or length.
template <unsigned char... Bytes>
inline size_t FindFirstOfAcrossLines(const unsigned char* data, size_t from, size_t length)
{
    while (true) {
        from = FindFirstOf<Bytes..., '\r', '\n'>(data, from, length);
        if (from == length || (data[from] != '\r' && data[from] != '\n'))
            return from;
        size_t first = from + 1;
        while (first < length && (data[first] == '\r' || data[first] == '\n'))
            ++first;
        if (first == length || data[first] == '%' || ((data[first] == Bytes) || ...))
            return from;
        from = first + 1;
    }
}

// The index of the first byte in [from, length) that the table marks, or
// length. The table may only mark bytes up to 0x20, from 0x80 (when
// HighBytes) and the listed bytes: those are the candidates looked for in
// bulk, and the table decides among them.
template <bool HighBytes, unsigned char... Listed>
inline size_t FindFirstIn(const std::array<bool, 256>& table, const unsigned char* data, size_t from, size_t length)
{
#if defined(__SSE2__)
    const __m128i space = _mm_set1_epi8(0x20);
    while (from + 16 <= length) {
        const __m128i chunk = Load(data + from);
        const __m128i low = _mm_cmpeq_epi8(_mm_min_epu8(chunk, space), chunk);
        unsigned candidates = static_cast<unsigned>(_mm_movemask_epi8(_mm_or_si128(low, MatchAny<Listed...>(chunk))));
        if constexpr (HighBytes)
            candidates |= static_cast<unsigned>(_mm_movemask_epi8(chunk));
        while (candidates != 0) {
            const size_t index = from + static_cast<size_t>(std::countr_zero(candidates));
            if (table[data[index]])
                return index;
            candidates &= candidates - 1;
        }
        from += 16;
    }
#endif
    for (; from < length; ++from) {
        if (table[data[from]])
            return from;
    }
    return length;
}

}  // namespace RawPrintData::Postscript::ByteScan
