#include "platform/cp1252.h"

#include <QList>
#include <array>

namespace platform {
namespace {

// 0x80..0x9F; the undefined bytes keep their own value.
constexpr std::array<char16_t, 32> kHighControls = {
    0x20AC, 0x0081, 0x201A, 0x0192, 0x201E, 0x2026, 0x2020, 0x2021, 0x02C6, 0x2030, 0x0160,
    0x2039, 0x0152, 0x008D, 0x017D, 0x008F, 0x0090, 0x2018, 0x2019, 0x201C, 0x201D, 0x2022,
    0x2013, 0x2014, 0x02DC, 0x2122, 0x0161, 0x203A, 0x0153, 0x009D, 0x017E, 0x0178};

void appendUtf8(std::string &out, char32_t cp)
{
    if (cp < 0x80) {
        out += static_cast<char>(cp);
    } else if (cp < 0x800) {
        out += static_cast<char>(0xC0 | (cp >> 6));
        out += static_cast<char>(0x80 | (cp & 0x3F));
    } else if (cp < 0x10000) {
        out += static_cast<char>(0xE0 | (cp >> 12));
        out += static_cast<char>(0x80 | ((cp >> 6) & 0x3F));
        out += static_cast<char>(0x80 | (cp & 0x3F));
    } else {
        out += static_cast<char>(0xF0 | (cp >> 18));
        out += static_cast<char>(0x80 | ((cp >> 12) & 0x3F));
        out += static_cast<char>(0x80 | ((cp >> 6) & 0x3F));
        out += static_cast<char>(0x80 | (cp & 0x3F));
    }
}

// Decodes one UTF-8 sequence at `pos`; returns its length, or 0 when it is malformed.
std::size_t decodeUtf8(std::string_view s, std::size_t pos, char32_t &cp)
{
    const auto b0 = static_cast<unsigned char>(s[pos]);
    if (b0 < 0x80) {
        cp = b0;
        return 1;
    }
    std::size_t len;
    char32_t min;
    if ((b0 & 0xE0) == 0xC0) {
        len = 2, cp = b0 & 0x1F, min = 0x80;
    } else if ((b0 & 0xF0) == 0xE0) {
        len = 3, cp = b0 & 0x0F, min = 0x800;
    } else if ((b0 & 0xF8) == 0xF0) {
        len = 4, cp = b0 & 0x07, min = 0x10000;
    } else {
        return 0;
    }
    if (pos + len > s.size())
        return 0;
    for (std::size_t i = 1; i < len; ++i) {
        const auto b = static_cast<unsigned char>(s[pos + i]);
        if ((b & 0xC0) != 0x80)
            return 0;
        cp = (cp << 6) | (b & 0x3F);
    }
    if (cp < min || cp > 0x10FFFF || (cp >= 0xD800 && cp <= 0xDFFF))
        return 0;
    return len;
}

} // namespace

char16_t cp1252ToUnicode(unsigned char byte)
{
    if (byte >= 0x80 && byte < 0xA0)
        return kHighControls[byte - 0x80];
    return byte;
}

int unicodeToCp1252(char32_t cp)
{
    if (cp < 0x80 || (cp >= 0xA0 && cp <= 0xFF))
        return static_cast<int>(cp);
    for (int i = 0; i < 32; ++i) {
        if (kHighControls[i] == cp)
            return 0x80 + i;
    }
    return -1;
}

QString toQString(std::string_view cp1252)
{
    QString out(static_cast<qsizetype>(cp1252.size()), Qt::Uninitialized);
    QChar *dst = out.data();
    for (std::size_t i = 0; i < cp1252.size(); ++i)
        dst[i] = QChar(cp1252ToUnicode(static_cast<unsigned char>(cp1252[i])));
    return out;
}

std::string cp1252(std::u8string_view utf8)
{
    return utf8ToCp1252({reinterpret_cast<const char *>(utf8.data()), utf8.size()}).text;
}

std::string fromQString(const QString &text, char replacement)
{
    std::string out;
    out.reserve(static_cast<std::size_t>(text.size()));
    for (const char32_t cp : text.toUcs4()) {
        const int byte = unicodeToCp1252(cp);
        out += byte < 0 ? replacement : static_cast<char>(byte);
    }
    return out;
}

std::string commandLineToCp1252(std::string_view argument)
{
    return fromQString(
        QString::fromLocal8Bit(argument.data(), static_cast<qsizetype>(argument.size())));
}

std::string cp1252ToUtf8(std::string_view cp1252)
{
    std::string out;
    out.reserve(cp1252.size() + cp1252.size() / 8);
    for (const char c : cp1252)
        appendUtf8(out, cp1252ToUnicode(static_cast<unsigned char>(c)));
    return out;
}

bool isValidUtf8(std::string_view bytes)
{
    char32_t cp;
    for (std::size_t pos = 0; pos < bytes.size();) {
        if (static_cast<unsigned char>(bytes[pos]) < 0x80) {
            ++pos;
            continue;
        }
        const std::size_t len = decodeUtf8(bytes, pos, cp);
        if (len == 0)
            return false;
        pos += len;
    }
    return true;
}

Utf8Conversion utf8ToCp1252(std::string_view utf8)
{
    if (utf8.starts_with("\xEF\xBB\xBF"))
        utf8.remove_prefix(3);
    Utf8Conversion result;
    result.text.reserve(utf8.size());
    char32_t cp;
    for (std::size_t pos = 0; pos < utf8.size();) {
        std::size_t len = decodeUtf8(utf8, pos, cp);
        if (len == 0) { // only reached for malformed input: one replacement per bad byte
            len = 1;
            cp = 0xFFFD;
        }
        const int byte = unicodeToCp1252(cp);
        if (byte < 0) {
            result.text += '?';
            ++result.replaced;
        } else {
            result.text += static_cast<char>(byte);
        }
        pos += len;
    }
    return result;
}

unsigned char cp1252Upper(unsigned char b)
{
    if (b >= 'a' && b <= 'z')
        return b - 0x20;
    if (b >= 0xE0 && b <= 0xFE && b != 0xF7)
        return b - 0x20;
    switch (b) {
    case 0x9A:
        return 0x8A; // š
    case 0x9C:
        return 0x8C; // œ
    case 0x9E:
        return 0x8E; // ž
    case 0xFF:
        return 0x9F; // ÿ
    default:
        return b;
    }
}

unsigned char cp1252Lower(unsigned char b)
{
    if (b >= 'A' && b <= 'Z')
        return b + 0x20;
    if (b >= 0xC0 && b <= 0xDE && b != 0xD7)
        return b + 0x20;
    switch (b) {
    case 0x8A:
        return 0x9A;
    case 0x8C:
        return 0x9C;
    case 0x8E:
        return 0x9E;
    case 0x9F:
        return 0xFF;
    default:
        return b;
    }
}

std::string cp1252UpperCase(std::string_view text)
{
    std::string out(text);
    for (char &c : out)
        c = static_cast<char>(cp1252Upper(static_cast<unsigned char>(c)));
    return out;
}

std::string cp1252LowerCase(std::string_view text)
{
    std::string out(text);
    for (char &c : out)
        c = static_cast<char>(cp1252Lower(static_cast<unsigned char>(c)));
    return out;
}

} // namespace platform
