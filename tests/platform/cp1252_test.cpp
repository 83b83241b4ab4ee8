// Windows-1252 text at the edges: nothing may be lost on the way through Unicode.
#include "platform/cp1252.h"

#include <gtest/gtest.h>

using namespace platform;

TEST(Cp1252, EveryByteSurvivesARoundTripThroughUnicode)
{
    std::string all;
    for (int b = 0; b < 256; ++b)
        all += static_cast<char>(b);
    const QString unicode = toQString(all);
    ASSERT_EQ(unicode.size(), 256);
    EXPECT_EQ(fromQString(unicode), all);
    EXPECT_EQ(utf8ToCp1252(cp1252ToUtf8(all)).text, all);
    EXPECT_EQ(utf8ToCp1252(cp1252ToUtf8(all)).replaced, 0u);

    // The five undefined bytes stand for the C1 controls of the same value.
    for (const unsigned char b : {0x81, 0x8D, 0x8F, 0x90, 0x9D})
        EXPECT_EQ(cp1252ToUnicode(b), b);
    EXPECT_EQ(cp1252ToUnicode(0x80), u'\u20AC');
    EXPECT_EQ(cp1252ToUnicode(0xC6), u'\u00C6');
    EXPECT_EQ(cp1252ToUnicode(0x9F), u'\u0178');
}

TEST(Cp1252, CharactersWithoutAFormBecomeTheReplacement)
{
    EXPECT_EQ(fromQString(QString::fromUtf8("Æ€☃𝄞")), "\xC6\x80??");
    const auto converted = utf8ToCp1252("\xEF\xBB\xBF\xC3\x98J \xE2\x98\x83");
    EXPECT_EQ(converted.text, "\xD8J ?");
    EXPECT_EQ(converted.replaced, 1u);
    EXPECT_EQ(cp1252(u8"Læser brikker..."), "L\xE6ser brikker...");
}

TEST(Cp1252, Utf8ValidityIsStrict)
{
    EXPECT_TRUE(isValidUtf8(""));
    EXPECT_TRUE(isValidUtf8("plain ascii"));
    EXPECT_TRUE(isValidUtf8("\xC3\x86\xE2\x82\xAC\xF0\x9D\x84\x9E"));
    EXPECT_FALSE(isValidUtf8("\xC6")) << "a Windows-1252 letter";
    EXPECT_FALSE(isValidUtf8("\xC3")) << "cut short";
    EXPECT_FALSE(isValidUtf8("\xC0\xAF")) << "overlong";
    EXPECT_FALSE(isValidUtf8("\xED\xA0\x80")) << "surrogate";
    EXPECT_FALSE(isValidUtf8("\xF4\x90\x80\x80")) << "past U+10FFFF";
    EXPECT_FALSE(isValidUtf8("\x80"));
}

TEST(Cp1252, CaseFoldsAsciiAndTheAccentedLetters)
{
    EXPECT_EQ(cp1252LowerCase("AB\xC6\xD8\xC5\x8A\x9F\xD7\xDF"), "ab\xE6\xF8\xE5\x9A\xFF\xD7\xDF");
    EXPECT_EQ(cp1252UpperCase("ab\xE6\xF8\xE5\x9A\xFF\xF7\xDF"), "AB\xC6\xD8\xC5\x8A\x9F\xF7\xDF");
}
