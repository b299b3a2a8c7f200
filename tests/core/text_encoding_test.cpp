#include <gtest/gtest.h>

#include <clocale>
#include <cstdint>
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

// FNV-1a over 16-bit units, to compare whole tables with one number.
std::uint64_t Fingerprint(std::u16string_view units, std::uint64_t hash = 14695981039346656037ull) {
  for (const char16_t unit : units) {
    for (const int shift : {0, 8}) {
      hash ^= (unit >> shift) & 0xFF;
      hash *= 1099511628211ull;
    }
  }
  return hash;
}

// The code page 936 table is the system's (iconv on Linux, the Win32
// functions on Windows): both must give these same tables, code by code.
TEST(TextEncoding, EveryCodeDecodesAndRoundTripsAlikeOnEverySystem) {
  std::uint64_t hash = Fingerprint(u"");
  int characters = 0;
  for (int lead = 0x80; lead <= 0xFF; ++lead) {
    for (int trail = -1; trail <= 0xFE; ++trail) {
      if (trail >= 0 && (trail < 0x40 || trail == 0x7F || lead == 0x80 || lead == 0xFF)) continue;
      std::string bytes(1, static_cast<char>(lead));
      if (trail >= 0) bytes.push_back(static_cast<char>(trail));
      const std::u16string text = DecodeCp936(bytes);
      hash = Fingerprint(text, Fingerprint(u"|", hash));
      // One character: it must encode to exactly the bytes it came from.
      if (text.size() == 1 && text != u"?") {
        ++characters;
        EXPECT_EQ(EncodeCp936(Utf16ToUtf8(text)), bytes) << std::hex << lead << " " << trail;
      }
    }
  }
  // 0x80 (the euro sign) and 21791 double-byte characters; the
  // user-defined rows (which Windows maps into the Private Use Area) are not
  // characters: a '?' for the lead byte, then the next byte on its own.
  EXPECT_EQ(characters, 21792);
  EXPECT_EQ(hash, 0xd50d56b88da5d6f6ull) << std::hex << hash;
  EXPECT_EQ(DecodeCp936("\xa1\x40\xaa\xa1"), u"?@??");
}

TEST(TextEncoding, EveryCharacterEncodesAlikeOnEverySystem) {
  std::uint64_t hash = Fingerprint(u"");
  int encodable = 0;
  for (char32_t cp = 0x80; cp <= 0xFFFF; ++cp) {
    if (cp >= 0xD800 && cp <= 0xDFFF) continue;
    const std::string bytes = EncodeCp936(Utf16ToUtf8(std::u16string(1, static_cast<char16_t>(cp))));
    if (bytes != "?") ++encodable;
    hash = Fingerprint(std::u16string(bytes.begin(), bytes.end()), Fingerprint(u"|", hash));
  }
  EXPECT_EQ(encodable, 21792);
  EXPECT_EQ(hash, 0x5e755293550c05f7ull) << std::hex << hash;
  // No best-fit guesses and no Private Use Area: "?" for each.
  EXPECT_EQ(EncodeCp936("\u00c0\ue4c6\uff5f"), "???");
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
  // glibc's names, then the Windows C runtime's.
  for (const char* name :
       {"de_DE.UTF-8", "fr_FR.UTF-8", "ru_RU.UTF-8", "de_DE", "de-DE", "German_Germany.1252"}) {
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
