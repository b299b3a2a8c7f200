// XML escaping, number texts and the atomic file replacement.
#include <gtest/gtest.h>

#include <cmath>
#include <fstream>
#include <limits>
#include <sstream>

#include "core/error.h"
#include "office/file_replace.h"
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

std::string ReadAll(const std::filesystem::path& path) {
  std::ifstream in(path, std::ios::binary);
  std::ostringstream text;
  text << in.rdbuf();
  return text.str();
}

TEST(OfficeFiles, FailedWriteKeepsTheOldFileAndLeavesNoTemporary) {
  TempDir dir;
  const std::filesystem::path target = dir / "out.docx";
  std::ofstream(target) << "old";
  try {
    ReplaceFileAtomically(target, [](const std::filesystem::path& temporary) {
      EXPECT_EQ(temporary.parent_path(), std::filesystem::path(temporary).parent_path());
      std::ofstream(temporary) << "half";
      throw std::runtime_error("disk full");
    });
    FAIL() << "no error";
  } catch (const KorvaneError& error) {
    const std::string message = error.what();
    EXPECT_NE(message.find("out.docx"), std::string::npos) << message;
    EXPECT_NE(message.find("disk full"), std::string::npos) << message;
  }
  EXPECT_EQ(ReadAll(target), "old");
  int files = 0;
  for (const auto& entry : std::filesystem::directory_iterator(dir.path()))
    files += entry.is_regular_file() ? 1 : 0;
  EXPECT_EQ(files, 1);

  std::filesystem::path used;
  ReplaceFileAtomically(target, [&](const std::filesystem::path& temporary) {
    used = temporary;
    std::ofstream(temporary) << "new";
  });
  EXPECT_EQ(used.parent_path(), target.parent_path());
  EXPECT_EQ(ReadAll(target), "new");
  EXPECT_FALSE(std::filesystem::exists(used));
}

}  // namespace
}  // namespace korvane::testing
