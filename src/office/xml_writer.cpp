#include "office/xml_writer.h"

#include <cstdint>
#include <stdexcept>

namespace korvane::office {
namespace {

constexpr std::string_view kReplacement = "\xEF\xBF\xBD";  // U+FFFD

bool IsContinuation(unsigned char c) { return (c & 0xC0) == 0x80; }

// Decodes one UTF-8 sequence at text[i]. Returns the code point and sets
// `length`; returns -1 (length 1) for an invalid or truncated sequence.
std::int32_t DecodeOne(std::string_view text, std::size_t i, std::size_t& length) {
  const auto at = [&](std::size_t k) { return static_cast<unsigned char>(text[k]); };
  const unsigned char lead = at(i);
  length = 1;
  if (lead < 0x80) return lead;
  int extra = 0;
  std::int32_t cp = 0;
  std::int32_t minimum = 0;
  if (lead >= 0xC2 && lead <= 0xDF) {
    extra = 1;
    cp = lead & 0x1F;
    minimum = 0x80;
  } else if (lead >= 0xE0 && lead <= 0xEF) {
    extra = 2;
    cp = lead & 0x0F;
    minimum = 0x800;
  } else if (lead >= 0xF0 && lead <= 0xF4) {
    extra = 3;
    cp = lead & 0x07;
    minimum = 0x10000;
  } else {
    return -1;
  }
  if (i + static_cast<std::size_t>(extra) >= text.size()) return -1;  // truncated
  for (int k = 1; k <= extra; ++k) {
    const unsigned char c = at(i + static_cast<std::size_t>(k));
    if (!IsContinuation(c)) return -1;
    cp = (cp << 6) | (c & 0x3F);
  }
  if (cp < minimum || cp > 0x10FFFF || (cp >= 0xD800 && cp <= 0xDFFF)) return -1;
  length = static_cast<std::size_t>(extra) + 1;
  return cp;
}

bool AllowedInXml(std::int32_t cp) {
  if (cp < 0x20) return cp == 0x09 || cp == 0x0A || cp == 0x0D;
  return cp != 0xFFFE && cp != 0xFFFF;
}

}  // namespace

std::string SanitizeUtf8(std::string_view text) {
  std::string out;
  out.reserve(text.size());
  std::size_t i = 0;
  while (i < text.size()) {
    std::size_t length = 1;
    const std::int32_t cp = DecodeOne(text, i, length);
    if (cp < 0) {
      out += kReplacement;
    } else if (AllowedInXml(cp)) {
      out.append(text.substr(i, length));
    }
    i += length;
  }
  return out;
}

void AppendXmlEscaped(std::string& out, std::string_view text, bool inAttribute) {
  const std::string clean = SanitizeUtf8(text);
  for (const char c : clean) {
    switch (c) {
      case '&': out += "&amp;"; break;
      case '<': out += "&lt;"; break;
      case '>': out += "&gt;"; break;
      case '"': out += "&quot;"; break;
      case '\'': out += "&apos;"; break;
      case '\r': out += "&#13;"; break;
      case '\n':
        if (inAttribute) {
          out += "&#10;";
        } else {
          out += c;
        }
        break;
      case '\t':
        if (inAttribute) {
          out += "&#9;";
        } else {
          out += c;
        }
        break;
      default: out += c; break;
    }
  }
}

XmlWriter::XmlWriter() { out_ = "<?xml version=\"1.0\" encoding=\"UTF-8\" standalone=\"yes\"?>\r\n"; }

void XmlWriter::EndStartTag() {
  if (startTagOpen_) {
    out_ += '>';
    startTagOpen_ = false;
  }
}

XmlWriter& XmlWriter::Open(std::string_view name, XmlAttributes attributes) {
  EndStartTag();
  out_ += '<';
  out_ += name;
  open_.emplace_back(name);
  startTagOpen_ = true;
  for (const auto& [key, value] : attributes) Attribute(key, value);
  return *this;
}

XmlWriter& XmlWriter::Attribute(std::string_view name, std::string_view value) {
  if (!startTagOpen_) throw std::logic_error("XmlWriter: attribute outside a start tag");
  out_ += ' ';
  out_ += name;
  out_ += "=\"";
  AppendXmlEscaped(out_, value, true);
  out_ += '"';
  return *this;
}

XmlWriter& XmlWriter::Close() {
  if (open_.empty()) throw std::logic_error("XmlWriter: no element to close");
  if (startTagOpen_) {
    out_ += "/>";
    startTagOpen_ = false;
  } else {
    out_ += "</";
    out_ += open_.back();
    out_ += '>';
  }
  open_.pop_back();
  return *this;
}

XmlWriter& XmlWriter::Empty(std::string_view name, XmlAttributes attributes) {
  Open(name, attributes);
  return Close();
}

XmlWriter& XmlWriter::Text(std::string_view text) {
  if (open_.empty()) throw std::logic_error("XmlWriter: text outside the root element");
  EndStartTag();
  AppendXmlEscaped(out_, text, false);
  return *this;
}

XmlWriter& XmlWriter::TextElement(std::string_view name, std::string_view text, XmlAttributes attributes) {
  Open(name, attributes);
  Text(text);
  return Close();
}

std::string XmlWriter::Finish() {
  while (!open_.empty()) Close();
  return std::move(out_);
}

}  // namespace korvane::office
