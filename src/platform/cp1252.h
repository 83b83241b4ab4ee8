#pragma once
// Windows-1252 text at the program's edges. Inside the program every text is a std::string
// holding the Windows-1252 bytes exactly as the files hold them; these functions are the one
// place where such bytes meet Unicode (widgets, painting, the terminal, typed text).
//
// The table is total in both directions for the bytes: the five bytes Windows-1252 leaves
// undefined (0x81, 0x8D, 0x8F, 0x90, 0x9D) map to the C1 controls of the same value and
// back, so a byte string survives a round trip through Unicode unchanged.

#include <QString>
#include <string>
#include <string_view>

namespace platform {

// The Unicode code point of one Windows-1252 byte.
char16_t cp1252ToUnicode(unsigned char byte);

// The Windows-1252 byte of a code point, or -1 when it has none.
int unicodeToCp1252(char32_t codePoint);

QString toQString(std::string_view cp1252);

// The program's own texts are written in the sources as UTF-8 literals (u8"Læser brikker...");
// this gives their Windows-1252 bytes.
std::string cp1252(std::u8string_view utf8);

// Characters without a Windows-1252 form become `replacement`.
std::string fromQString(const QString &text, char replacement = '?');

std::string cp1252ToUtf8(std::string_view cp1252);

// True when `bytes` is well-formed UTF-8 (no overlong forms, no surrogates, at most U+10FFFF).
bool isValidUtf8(std::string_view bytes);

struct Utf8Conversion {
    std::string text;         // Windows-1252
    std::size_t replaced = 0; // characters that had no Windows-1252 form and became '?'
};
// Converts well-formed UTF-8 (a leading byte-order mark is dropped) to Windows-1252.
Utf8Conversion utf8ToCp1252(std::string_view utf8);

// A name typed on the command line, in Windows-1252. The system hands a program its arguments
// in UTF-8 on Linux and in the ANSI code page on Windows; Qt's local 8-bit encoding is that.
std::string commandLineToCp1252(std::string_view argument);

// Byte-wise upper and lower case of Windows-1252 letters: A-Z, the accented Latin-1 letters
// (not × and ÷), Š/š, Œ/œ, Ž/ž and Ÿ/ÿ. ß has no single-byte capital and stays as it is.
unsigned char cp1252Upper(unsigned char byte);
unsigned char cp1252Lower(unsigned char byte);
std::string cp1252UpperCase(std::string_view text);
std::string cp1252LowerCase(std::string_view text);

} // namespace platform
