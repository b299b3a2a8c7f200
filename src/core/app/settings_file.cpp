#include "core/app/settings_file.h"

#include <algorithm>
#include <cstring>
#include <system_error>

#include "core/app/korvane_doc.h"
#include "core/data/text_encoding.h"
#include "core/platform/file_replace.h"
#include "core/platform/file_system.h"

namespace korvane {
namespace {

constexpr char kFileName[] = "korvane.ini";
// A settings file is a few kilobytes; a larger file is not read.
constexpr std::size_t kMaxFileBytes = 16u << 20;

constexpr std::uint8_t kTextTag = 0xFF;        // starts every text
constexpr std::uint16_t kUtf16Mark = 0xFFFE;   // the text is UTF-16
constexpr std::uint8_t kLongLength = 0xFF;     // a 16-bit length follows
constexpr std::uint16_t kHugeLength = 0xFFFF;  // a 32-bit length follows

// ---- The items, in file order -------------------------------------------
// One list for both directions, so reading and writing cannot disagree.
// `Doc` is CKorvaneDoc or const CKorvaneDoc; the visitor has Int, Enum (an
// enumeration as its number), Float and Text taking the field.

template <typename Doc, typename Visitor>
void VisitItems(Doc& doc, Visitor& v) {
  auto& p = doc.project;
  v.Text(p.instrument);   // 1
  v.Text(p.site);         // 2
  v.Text(p.testDate);     // 3
  v.Text(p.unit);         // 4
  v.Text(p.person);       // 5
  v.Float(p.delay);       // 6
  v.Int(p.reserved);      // 7
  v.Text(p.castingDate);  // 8
  v.Enum(p.testMethod);   // 9
  v.Text(p.spot);         // 10
  v.Float(p.beta);        // 11
  v.Float(p.lambda);      // 12
  v.Float(p.eta);         // 13

  auto& s = doc.printSettings;  // 14
  v.Int(s.printHeader);
  v.Int(s.printFooter);
  v.Int(s.printPageNumber);
  v.Int(s.printRecordSheet);
  v.Int(s.printResultTable);
  v.Int(s.borderLineWidth);
  v.Int(s.gridLineWidth);
  v.Int(s.topMargin);
  v.Int(s.leftMargin);
  v.Int(s.bottomMargin);
  v.Int(s.rightMargin);
  v.Int(s.pageNumberPosition);
  v.Int(s.firstPageNumber);
  v.Int(s.pageNumberFormat);
  v.Int(s.headerHeight);
  v.Int(s.headerAlign);
  v.Int(s.headerFont);
  v.Text(s.headerText);
  v.Int(s.footerHeight);
  v.Int(s.footerAlign);
  v.Int(s.footerFont);
  v.Text(s.footerText);

  for (int i = 0; i < ReportProjectInfo::kFieldCount; ++i) v.Text(doc.reportInfo.field(i));  // 15

  v.Int(doc.infoBarWidth);      // 16
  v.Int(doc.spareBarWidth);     // 17
  v.Int(doc.analysisBarWidth);  // 18
}

class Writer {
 public:
  void Int(int value) { U32(static_cast<std::uint32_t>(value)); }
  template <typename E>
  void Enum(E value) {
    Int(static_cast<int>(value));
  }
  void Float(float value) {
    std::uint32_t bits = 0;
    std::memcpy(&bits, &value, sizeof bits);
    U32(bits);
  }
  void Text(const std::string& text) {
    const std::u16string units = Utf8ToUtf16(text);
    const std::size_t length = units.size();
    U8(kTextTag);
    U16(kUtf16Mark);
    if (length < 0xFF) {
      U8(static_cast<std::uint8_t>(length));
    } else if (length < 0xFFFE) {
      U8(kLongLength);
      U16(static_cast<std::uint16_t>(length));
    } else {
      U8(kLongLength);
      U16(kHugeLength);
      U32(static_cast<std::uint32_t>(length));
    }
    for (char16_t unit : units) U16(unit);
  }
  std::string Take() { return std::move(out_); }

 private:
  void U8(std::uint8_t value) { out_.push_back(static_cast<char>(value)); }
  void U16(std::uint16_t value) {
    U8(static_cast<std::uint8_t>(value & 0xFF));
    U8(static_cast<std::uint8_t>(value >> 8));
  }
  void U32(std::uint32_t value) {
    U16(static_cast<std::uint16_t>(value & 0xFFFF));
    U16(static_cast<std::uint16_t>(value >> 16));
  }
  std::string out_;
};

// Reads values in turn; after the first failure it reads nothing more and
// leaves every further field as it is.
class Reader {
 public:
  explicit Reader(std::string_view bytes) : bytes_(bytes) {}

  void Int(int& field) {
    std::uint32_t value = 0;
    if (!ok_ || !U32(value)) return Fail();
    field = static_cast<int>(value);
    ++count_;
  }
  template <typename E>
  void Enum(E& field) {
    int value = static_cast<int>(field);
    Int(value);
    field = static_cast<E>(value);
  }
  void Float(float& field) {
    std::uint32_t bits = 0;
    if (!ok_ || !U32(bits)) return Fail();
    std::memcpy(&field, &bits, sizeof field);
    ++count_;
  }
  void Text(std::string& field) {
    if (!ok_) return;
    std::uint8_t tag = 0;
    std::uint16_t mark = 0;
    std::uint8_t shortLength = 0;
    if (!U8(tag) || tag != kTextTag || !U16(mark) || mark != kUtf16Mark || !U8(shortLength)) return Fail();
    std::uint32_t length = shortLength;
    if (shortLength == kLongLength) {
      std::uint16_t longLength = 0;
      if (!U16(longLength) || longLength == kUtf16Mark) return Fail();
      length = longLength;
      if (longLength == kHugeLength && !U32(length)) return Fail();
    }
    if (length > (bytes_.size() - pos_) / 2) return Fail();
    std::u16string units(length, u'\0');
    for (char16_t& unit : units) {
      std::uint16_t value = 0;
      U16(value);
      unit = static_cast<char16_t>(value);
    }
    field = Utf16ToUtf8(units);
    ++count_;
  }
  int count() const { return count_; }

 private:
  void Fail() { ok_ = false; }
  bool U8(std::uint8_t& value) {
    if (pos_ >= bytes_.size()) return false;
    value = static_cast<std::uint8_t>(bytes_[pos_++]);
    return true;
  }
  bool U16(std::uint16_t& value) {
    std::uint8_t low = 0;
    std::uint8_t high = 0;
    if (bytes_.size() - pos_ < 2 || !U8(low) || !U8(high)) return false;
    value = static_cast<std::uint16_t>(low | (high << 8));
    return true;
  }
  bool U32(std::uint32_t& value) {
    std::uint16_t low = 0;
    std::uint16_t high = 0;
    if (bytes_.size() - pos_ < 4 || !U16(low) || !U16(high)) return false;
    value = static_cast<std::uint32_t>(low) | (static_cast<std::uint32_t>(high) << 16);
    return true;
  }

  std::string_view bytes_;
  std::size_t pos_ = 0;
  bool ok_ = true;
  int count_ = 0;
};

}  // namespace

std::filesystem::path SettingsDirectory() {
  if (auto dir = platform::EnvironmentPath("KORVANE_CONFIG_DIR"); !dir.empty()) return dir;
#if defined(_WIN32)
  if (auto appData = platform::EnvironmentPath("APPDATA"); !appData.empty()) return appData / "Korvane";
#else
  // XDG says a relative XDG_CONFIG_HOME is to be ignored.
  if (auto config = platform::EnvironmentPath("XDG_CONFIG_HOME"); !config.empty() && config.is_absolute()) {
    return config / "korvane";
  }
  if (auto home = platform::EnvironmentPath("HOME"); !home.empty()) return home / ".config" / "korvane";
#endif
  return std::filesystem::path(".");
}

std::filesystem::path DefaultSettingsPath() { return SettingsDirectory() / kFileName; }

std::string EncodeSettings(const CKorvaneDoc& doc) {
  Writer writer;
  VisitItems(doc, writer);
  return writer.Take();
}

int DecodeSettings(CKorvaneDoc& doc, std::string_view bytes) {
  Reader reader(bytes);
  VisitItems(doc, reader);
  // The file may hold anything: values go back into the ranges the program
  // lets the user choose from.
  LimitToDialogRanges(doc.printSettings);
  doc.project.testMethod = std::clamp(doc.project.testMethod, TestMethod::Angle, TestMethod::Direct);
  return reader.count();
}

void LoadSettings(CKorvaneDoc& doc, const std::filesystem::path& path) {
  // Only a regular file is read (a FIFO would block the start forever).
  std::string bytes;
  if (platform::ReadRegularFile(path, bytes, kMaxFileBytes)) return;
  if (bytes.empty()) return;
  DecodeSettings(doc, bytes);
}

bool SaveSettings(const CKorvaneDoc& doc, const std::filesystem::path& path) {
  if (path.empty()) return false;
  std::error_code error;
  if (path.has_parent_path()) {
    std::filesystem::create_directories(path.parent_path(), error);
    if (error) return false;
  }
  return !ReplaceFile(path, EncodeSettings(doc));
}

}  // namespace korvane
