#include "cli/json_writer.h"

#include <charconv>
#include <cmath>
#include <cstdio>

namespace korvane::cli {

std::string ShortestFloat(float value) {
  if (!std::isfinite(value)) return "null";
  char buffer[64];
  const auto result = std::to_chars(buffer, buffer + sizeof buffer, value);
  return std::string(buffer, result.ptr);
}

std::string ShortestDouble(double value) {
  if (!std::isfinite(value)) return "null";
  char buffer[64];
  const auto result = std::to_chars(buffer, buffer + sizeof buffer, value);
  return std::string(buffer, result.ptr);
}

void JsonWriter::NewLine() {
  if (!pretty_) return;
  out_.push_back('\n');
  out_.append(hasElement_.size() * 2, ' ');
}

void JsonWriter::BeforeValue() {
  if (afterKey_) {
    afterKey_ = false;
    return;
  }
  if (!hasElement_.empty()) {
    if (hasElement_.back()) out_.push_back(',');
    hasElement_.back() = true;
    NewLine();
  }
}

JsonWriter& JsonWriter::BeginObject() {
  BeforeValue();
  out_.push_back('{');
  hasElement_.push_back(false);
  return *this;
}

JsonWriter& JsonWriter::EndObject() {
  const bool had = hasElement_.back();
  hasElement_.pop_back();
  if (had) NewLine();
  out_.push_back('}');
  if (hasElement_.empty() && pretty_) out_.push_back('\n');
  return *this;
}

JsonWriter& JsonWriter::BeginArray() {
  BeforeValue();
  out_.push_back('[');
  hasElement_.push_back(false);
  return *this;
}

JsonWriter& JsonWriter::EndArray() {
  const bool had = hasElement_.back();
  hasElement_.pop_back();
  if (had) NewLine();
  out_.push_back(']');
  if (hasElement_.empty() && pretty_) out_.push_back('\n');
  return *this;
}

JsonWriter& JsonWriter::Key(std::string_view name) {
  BeforeValue();
  WriteString(name);
  out_.append(pretty_ ? ": " : ":");
  afterKey_ = true;
  return *this;
}

JsonWriter& JsonWriter::Value(float value) {
  BeforeValue();
  out_.append(ShortestFloat(value));
  return *this;
}

JsonWriter& JsonWriter::Value(double value) {
  BeforeValue();
  out_.append(ShortestDouble(value));
  return *this;
}

JsonWriter& JsonWriter::Value(int value) {
  BeforeValue();
  out_.append(std::to_string(value));
  return *this;
}

JsonWriter& JsonWriter::Value(bool value) {
  BeforeValue();
  out_.append(value ? "true" : "false");
  return *this;
}

JsonWriter& JsonWriter::Null() {
  BeforeValue();
  out_.append("null");
  return *this;
}

JsonWriter& JsonWriter::Value(std::string_view text) {
  BeforeValue();
  WriteString(text);
  return *this;
}

void JsonWriter::WriteString(std::string_view text) {
  out_.push_back('"');
  for (unsigned char c : text) {
    switch (c) {
      case '"': out_.append("\\\""); break;
      case '\\': out_.append("\\\\"); break;
      case '\n': out_.append("\\n"); break;
      case '\r': out_.append("\\r"); break;
      case '\t': out_.append("\\t"); break;
      case '\b': out_.append("\\b"); break;
      case '\f': out_.append("\\f"); break;
      default:
        if (c < 0x20) {
          char escaped[8];
          std::snprintf(escaped, sizeof escaped, "\\u%04x", c);
          out_.append(escaped);
        } else {
          out_.push_back(static_cast<char>(c));
        }
    }
  }
  out_.push_back('"');
}

}  // namespace korvane::cli
