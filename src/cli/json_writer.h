// Minimal JSON writer for the command-line tool. Floats are written in the
// shortest form that reads back to the same 32-bit float; NaN and infinity
// (not valid JSON) are written as null.
#pragma once

#include <string>
#include <string_view>
#include <type_traits>
#include <vector>

namespace korvane::cli {

std::string ShortestFloat(float value);
// The same for a double (shortest text that reads back to the same double).
std::string ShortestDouble(double value);

class JsonWriter {
 public:
  explicit JsonWriter(bool pretty = true) : pretty_(pretty) {}

  JsonWriter& BeginObject();
  JsonWriter& EndObject();
  JsonWriter& BeginArray();
  JsonWriter& EndArray();
  JsonWriter& Key(std::string_view name);
  JsonWriter& Value(float value);
  JsonWriter& Value(double value);
  JsonWriter& Value(int value);
  JsonWriter& Value(bool value);
  JsonWriter& Value(std::string_view text);
  JsonWriter& Value(const char* text) { return Value(std::string_view(text)); }
  // An enumeration as its number.
  template <typename E>
  requires std::is_enum_v<E> JsonWriter& Value(E value) { return Value(static_cast<int>(value)); }
  JsonWriter& Null();

  // Key followed by value.
  template <typename T>
  JsonWriter& Field(std::string_view name, const T& value) {
    Key(name);
    return Value(value);
  }

  const std::string& str() const { return out_; }

 private:
  void BeforeValue();
  void NewLine();
  void WriteString(std::string_view text);

  std::string out_;
  bool pretty_;
  // Per open container: whether it already holds an element.
  std::vector<bool> hasElement_;
  bool afterKey_ = false;
};

}  // namespace korvane::cli
