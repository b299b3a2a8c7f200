#include <gtest/gtest.h>

#include <clocale>
#include <cstdio>

#include "core/data/text_encoding.h"
#include "core/data/text_format.h"

namespace korvane {
namespace {

TEST(TextEncoding, Cp936RoundTripOfTheFileTexts) {
  // Chinese names and locations, the Greek key letters, full-width colon.
  const std::string texts[] = {"侧面", "λ       :", "β η δtot", "CECS 02：2005", "一层柱3 A轴", "€"};
  for (const std::string& text : texts) {
    EXPECT_EQ(Utf16ToUtf8(DecodeCp936(EncodeCp936(text))), text) << text;
  }
  // A Chinese location is two UTF-16 units and four bytes in the file.
  EXPECT_EQ(DecodeCp936(EncodeCp936("侧面")).size(), 2u);
  EXPECT_EQ(EncodeCp936("侧面").size(), 4u);
}

TEST(TextEncoding, UnrepresentableCharactersBecomeQuestionMarks) {
  struct Case {
    std::string in;
    std::string out;
  };
  const Case cases[] = {
      {"a😀b", "a?b"},  // outside the BMP
      {"x\xff"
       "y",
       "x?y"},             // invalid UTF-8 byte
      {"名ᚠ称", "名?称"},  // runic letter, not in code page 936
      {"\xe4\xb8", "??"},  // truncated UTF-8 sequence: one per byte
  };
  for (const Case& c : cases) {
    EXPECT_EQ(Utf16ToUtf8(DecodeCp936(EncodeCp936(c.in))), c.out) << c.in;
    EXPECT_EQ(Cp936Representable(c.in), c.out) << c.in;
  }
}

TEST(TextEncoding, InvalidBytesDecodeToQuestionMarksWithoutEatingLineEnds) {
  struct Case {
    std::string bytes;
    std::u16string text;
  };
  const Case cases[] = {
      {"a\x81\r\nb", u"a?\r\nb"},  // lead byte before CR
      {"\xff\xff", u"??"},         // never a valid byte
      {"ab\x81", u"ab?"},          // lead byte at the end
      {std::string("\xb2\xe0\x00z", 4), std::u16string(u"侧\0z", 3)},
  };
  for (const Case& c : cases) EXPECT_EQ(DecodeCp936(c.bytes), c.text);
}

TEST(TextFormat, MatchesPrintfFieldRules) {
  struct Case {
    double value;
    int width;
    int precision;
  };
  const Case cases[] = {{0.0, 8, 2},   {1.0, 8, 2},   {-0.5, 8, 1},  {2.345f, 8, 2}, {123456789.0, 8, 2},
                        {0.125, 8, 2}, {0.375, 4, 2}, {-0.04, 8, 1}, {35.0, 4, 0},   {2.5, 8, 0},
                        {3.5, 8, 0},   {0.05f, 8, 1}, {1e-7, 8, 4},  {-1e300, 8, 1}, {4.4f, 8, 3}};
  for (const Case& c : cases) {
    char expected[512];
    std::snprintf(expected, sizeof expected, "%*.*f", c.width, c.precision, c.value);
    EXPECT_EQ(FormatFixed(c.value, c.width, c.precision), expected) << c.value;
  }
  EXPECT_EQ(FormatInt(7, 4, true), "7   ");
  EXPECT_EQ(FormatInt(-12, 8), "     -12");
  EXPECT_EQ(FormatInt(123456, 2), "123456");
}

TEST(TextFormat, IgnoresADecimalCommaLocale) {
#ifdef KORVANE_TEST_LOCALE_DIR
  // The build generates de_DE.UTF-8 into a folder of its own.
  setenv("LOCPATH", KORVANE_TEST_LOCALE_DIR, 1);
#endif
  const char* chosen = nullptr;
  for (const char* name : {"de_DE.UTF-8", "fr_FR.UTF-8", "ru_RU.UTF-8", "de_DE"}) {
    if (std::setlocale(LC_NUMERIC, name) != nullptr) {
      chosen = name;
      break;
    }
  }
  const std::string formatted = FormatFixed(1.5, 8, 2);
  std::setlocale(LC_NUMERIC, "C");
  EXPECT_EQ(formatted, "    1.50");
  if (chosen == nullptr) GTEST_SKIP() << "no decimal-comma locale installed";
}

}  // namespace
}  // namespace korvane
