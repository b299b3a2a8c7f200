// XML escaping and number texts.
#include <gtest/gtest.h>

#include <cmath>
#include <limits>

#include "office/office_test_support.h"
#include "office/text_format.h"
#include "office/xml_writer.h"

namespace korvane::testing {
namespace {

using namespace office;

TEST(OfficeXml, SanitizeKeepsValidTextAndRepairsTheRest) {
  const std::pair<std::string, std::string> cases[] = {
      {"构件 A-1", "构件 A-1"},
      {"tab\tline\ncr\r", "tab\tline\ncr\r"},
      {"a\x01\x1F"
       "b",
       "ab"},                                                                    // forbidden controls dropped
      {"\xC3\x28", "\xEF\xBF\xBD("},                                             // bad continuation
      {"\xC0\xAF", "\xEF\xBF\xBD\xEF\xBF\xBD"},                                  // overlong
      {"\xED\xA0\x80", "\xEF\xBF\xBD\xEF\xBF\xBD\xEF\xBF\xBD"},                  // encoded surrogate
      {"x\xE6\xB5", "x\xEF\xBF\xBD\xEF\xBF\xBD"},                                // truncated at the end
      {"\xEF\xBF\xBF\xEF\xBF\xBE", ""},                                          // U+FFFF, U+FFFE
      {"\xF0\x9F\x98\x80", "\xF0\x9F\x98\x80"},                                  // outside the BMP
      {"\xF4\x90\x80\x80", "\xEF\xBF\xBD\xEF\xBF\xBD\xEF\xBF\xBD\xEF\xBF\xBD"},  // above U+10FFFF
  };
  for (const auto& [input, expected] : cases) EXPECT_EQ(SanitizeUtf8(input), expected);
}

TEST(OfficeXml, WriterEscapesTextAndAttributes) {
  XmlWriter w;
  w.Open("root", {{"a", "x\"<&>'\n\t"}});
  w.TextElement("t", "1 < 2 & \"3\"\r\n");
  w.Empty("e");
  const std::string xml = w.Finish();
  EXPECT_NE(xml.find("<root a=\"x&quot;&lt;&amp;&gt;&apos;&#10;&#9;\">"), std::string::npos) << xml;
  EXPECT_NE(xml.find("<t>1 &lt; 2 &amp; &quot;3&quot;&#13;\n</t><e/></root>"), std::string::npos) << xml;
  XmlPart parsed(xml);
  ASSERT_TRUE(parsed.ok());
  EXPECT_EQ(Attr(parsed.root(), "a"), "x\"<&>'\n\t");
}

TEST(OfficeText, NumberTextsMatchTheCFormats) {
  EXPECT_EQ(FormatInt(-42), "-42");
  const std::tuple<double, int, const char*> fixed[] = {
      {0.05f, 1, "0.1"},    // 0.0500000007…
      {2.5, 0, "2"},        // ties to even, as printf
      {0.125, 2, "0.12"},   // exact tie
      {35.05f, 1, "35.0"},  // 35.049999…
      {4.2345f, 3, "4.234"},
      {-0.04, 1, "-0.0"},
      {70.04f, 1, "70.0"},
      {std::numeric_limits<double>::infinity(), 1, "inf"},
      {std::nan(""), 2, "nan"},
  };
  for (const auto& [value, decimals, text] : fixed) EXPECT_EQ(FormatFixed(value, decimals), text) << value;
  EXPECT_EQ(FormatTruncated(-3.7f), "-3");
  EXPECT_EQ(FormatTruncated(209.99f), "209");
  EXPECT_EQ(FormatTruncated(1e20f), "2147483647");
  EXPECT_EQ(FormatTruncated(std::nanf("")), "0");
  EXPECT_EQ(FloatAsDecimal(0.1f), 0.1);
  EXPECT_EQ(FloatAsDecimal(20.5078125f), 20.507812);
  EXPECT_EQ(RoundedAsShown(35.05f, 1), 35.0);
  EXPECT_EQ(RoundedAsShown(4.2345f, 3), 4.234);
}

}  // namespace
}  // namespace korvane::testing
