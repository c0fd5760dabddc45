#include "Core/WebServiceConnection/UrlEscape.h"

namespace CVClientData {

namespace {

// Letters, digits and - . _ ~ stand for themselves in a URL.
bool IsUnreserved(unsigned char byte)
{
    return (byte >= 'A' && byte <= 'Z') || (byte >= 'a' && byte <= 'z') || (byte >= '0' && byte <= '9')
           || byte == '-' || byte == '.' || byte == '_' || byte == '~';
}

}  // namespace

// Escapes every reserved, control or non-ASCII byte as %XX.
std::string UrlEscape(std::string_view text)
{
    static constexpr char hex[] = "0123456789ABCDEF";
    std::string escaped;
    escaped.reserve(text.size());
    for (char c : text) {
        auto byte = static_cast<unsigned char>(c);
        if (IsUnreserved(byte)) {
            escaped.push_back(c);
        } else {
            escaped.push_back('%');
            escaped.push_back(hex[byte >> 4]);
            escaped.push_back(hex[byte & 0x0F]);
        }
    }
    return escaped;
}

}  // namespace CVClientData
