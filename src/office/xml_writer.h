// A small streaming XML builder for the office file writers. Every attribute
// value and every text goes through one escaping routine, so no user text
// (member names, remarks, header texts) can break the markup.
#pragma once

#include <initializer_list>
#include <string>
#include <string_view>
#include <utility>
#include <vector>

namespace korvane::office {

// Makes UTF-8 text safe for XML 1.0 content: invalid or truncated UTF-8
// sequences (including encoded surrogates and overlong forms) become U+FFFD;
// characters XML forbids (C0 controls other than tab, LF and CR; U+FFFE;
// U+FFFF) are dropped. Valid text comes back unchanged.
std::string SanitizeUtf8(std::string_view text);

// SanitizeUtf8, then escapes & < > " ' and, so that they survive attribute
// normalisation and line-end handling, tab, LF and CR as character references
// when `inAttribute` (CR always).
void AppendXmlEscaped(std::string& out, std::string_view text, bool inAttribute);

using XmlAttributes = std::initializer_list<std::pair<std::string_view, std::string_view>>;

class XmlWriter {
 public:
  // Starts the document with the standalone UTF-8 declaration.
  XmlWriter();

  // Opens an element; `name` is a program constant (not escaped).
  XmlWriter& Open(std::string_view name, XmlAttributes attributes = {});
  // Adds an attribute to the element just opened (before any content).
  XmlWriter& Attribute(std::string_view name, std::string_view value);
  // Closes the innermost open element ("/>" when it has no content).
  XmlWriter& Close();
  // An element without content.
  XmlWriter& Empty(std::string_view name, XmlAttributes attributes = {});
  // Escaped character data inside the current element.
  XmlWriter& Text(std::string_view text);
  // Element holding only text: <name attributes>text</name>.
  XmlWriter& TextElement(std::string_view name, std::string_view text, XmlAttributes attributes = {});

  // The document; every element still open is closed first.
  std::string Finish();

 private:
  void EndStartTag();

  std::string out_;
  std::vector<std::string> open_;
  bool startTagOpen_ = false;
};

}  // namespace korvane::office
