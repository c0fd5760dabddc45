#include "PrinterLanguageParser/Parser/pdf/document/XrefStreamCheck.h"

#include <zlib.h>

#include <algorithm>
#include <cctype>
#include <set>
#include <vector>

namespace RawPrintData::Pdf {

namespace {

constexpr size_t TAIL_BYTES = 1024;
constexpr size_t HEAD_BYTES = 4096;
constexpr int MAX_SECTIONS = 64;

std::string ReadText(const PdfReadAt& read, uint64_t offset, size_t length)
{
    std::string text(length, '\0');
    const int64_t count = read(offset, reinterpret_cast<unsigned char*>(text.data()), length);
    text.resize(count > 0 ? static_cast<size_t>(count) : 0);
    return text;
}

// The whole number after a key of a dictionary's text, or -1.
long long NumberAfter(const std::string& text, const std::string& key)
{
    size_t at = text.find(key);
    if (at == std::string::npos)
        return -1;
    at += key.size();
    while (at < text.size() && std::isspace(static_cast<unsigned char>(text[at])))
        ++at;
    size_t end = at;
    while (end < text.size() && std::isdigit(static_cast<unsigned char>(text[end])))
        ++end;
    if (end == at || end - at > 15)
        return -1;
    // A reference (n g R) is no direct number.
    size_t next = end;
    while (next < text.size() && std::isspace(static_cast<unsigned char>(text[next])))
        ++next;
    if (next < text.size() && std::isdigit(static_cast<unsigned char>(text[next]))) {
        const size_t afterGeneration = text.find_first_not_of("0123456789", next);
        const size_t r = afterGeneration == std::string::npos ? afterGeneration : text.find_first_not_of(" \t\r\n", afterGeneration);
        if (r != std::string::npos && text[r] == 'R')
            return -1;
    }
    return std::stoll(text.substr(at, end - at));
}

// How many bytes the zlib data of the given length at the offset inflates
// to, stopping past the limit.
uint64_t InflatedSize(const PdfReadAt& read, uint64_t offset, uint64_t length, size_t limit)
{
    z_stream stream{};
    if (inflateInit(&stream) != Z_OK)
        return 0;
    std::vector<unsigned char> in(64 * 1024);
    std::vector<unsigned char> out(64 * 1024);
    uint64_t produced = 0;
    int status = Z_OK;
    for (uint64_t done = 0; done < length && status == Z_OK && produced <= limit;) {
        const int64_t count = read(offset + done, in.data(), static_cast<size_t>(std::min<uint64_t>(in.size(), length - done)));
        if (count <= 0)
            break;
        done += static_cast<uint64_t>(count);
        stream.next_in = in.data();
        stream.avail_in = static_cast<uInt>(count);
        do {
            stream.next_out = out.data();
            stream.avail_out = static_cast<uInt>(out.size());
            status = inflate(&stream, Z_NO_FLUSH);
            produced += out.size() - stream.avail_out;
        } while (status == Z_OK && stream.avail_out == 0 && produced <= limit);
    }
    inflateEnd(&stream);
    return produced;
}

}  // namespace

bool XrefStreamsFit(const PdfReadAt& read, uint64_t size, size_t limit, std::string& error)
{
    const uint64_t tailStart = size > TAIL_BYTES ? size - TAIL_BYTES : 0;
    const std::string tail = ReadText(read, tailStart, static_cast<size_t>(size - tailStart));
    const size_t startxref = tail.rfind("startxref");
    if (startxref == std::string::npos)
        return true;
    std::vector<long long> pending{NumberAfter(tail.substr(startxref), "startxref")};
    std::set<long long> seen;
    for (int sections = 0; !pending.empty() && sections < MAX_SECTIONS; ++sections) {
        const long long offset = pending.back();
        pending.pop_back();
        if (offset < 0 || static_cast<uint64_t>(offset) >= size || !seen.insert(offset).second)
            continue;
        const std::string head = ReadText(read, static_cast<uint64_t>(offset), HEAD_BYTES);
        const size_t streamWord = head.find("stream");
        const std::string dictionary = head.substr(0, streamWord);
        for (const char* key : {"/Prev", "/XRefStm"}) {
            const long long next = NumberAfter(dictionary, key);
            if (next >= 0)
                pending.push_back(next);
        }
        if (head.compare(0, 4, "xref") == 0 || streamWord == std::string::npos ||
            dictionary.find("/XRef") == std::string::npos || dictionary.find("/FlateDecode") == std::string::npos)
            continue;
        const long long length = NumberAfter(dictionary, "/Length");
        if (length <= 0)
            continue;
        size_t data = streamWord + 6;
        if (data < head.size() && head[data] == '\r')
            ++data;
        if (data < head.size() && head[data] == '\n')
            ++data;
        if (InflatedSize(read, static_cast<uint64_t>(offset) + data, static_cast<uint64_t>(length), limit) > limit) {
            error = "the cross-reference stream at byte " + std::to_string(offset) + " decodes to more than " +
                    std::to_string(limit >> 20) + " MiB";
            return false;
        }
    }
    return true;
}

}  // namespace RawPrintData::Pdf
