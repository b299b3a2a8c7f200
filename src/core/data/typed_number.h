// Numbers a person types (a form's field, a grid cell, a dialog): a value
// is entered only when the whole text is a number within its field's range;
// anything else gives the field's message, which names the field and its
// range, and no value. Stored files are read by number_entry.h's rule, not
// this one.
//
// A number: blanks around it allowed; an optional sign ("+", "-", or the
// typographic minus "−" U+2212); decimal digits with at most one '.'; at
// least one digit; nothing else (no exponent, no thousands separator, no
// decimal comma). Independent of the process locale. Texts of 20 or more
// UTF-16 units are refused whatever they hold.
#pragma once

#include <optional>
#include <string>
#include <string_view>

namespace korvane {

// The fields with a range of their own.
enum class TypedField {
  Reading,       // a rebound reading: a whole number 0 … 99 (the hammer's two digits)
  Rebound,       // R typed by hand: 20.0 … 50.0
  Carbonation,   // carbonation depth: 0 … 10 mm
  Distance,      // a point's distance L: 0 … 10000 mm
  Beta,          // β: 0 … 10
  Lambda,        // λ: 0 … 10
  Eta,           // η: 0.1 … 10
  DeltaTot,      // Δtot: −30 … 30 MPa
  CoefficientA,  // a: above 0, at most 10
  CoefficientB,  // b: 0 … 5
  CoefficientC,  // c: 0 … 5
  CoefficientD,  // d where it is no exponent: 0 … 10
  CarbonationD,  // d as the exponent of the carbonation term: −1 … 1
  Correction,    // a cell of a correction table: −20 … 20
  Gain,          // a section's gain: 0 … 100
  Delay,         // a section's delay: 0 … 1000 µs
  CoreStrength,  // a drilled core's strength fcor: above 0, at most 200 MPa
  HighPass,      // the high-pass filter's corner: 0.01 … 20 kHz
  LowPass,       // the low-pass filter's corner: 2 … 500 kHz
};

// A field's range and how its message names it.
struct NumberRange {
  std::string name;  // "回弹值", "η", "上边距" …
  double low = 0.0;
  double high = 0.0;
  bool lowIncluded = true;  // false: above `low` only
  bool integer = false;     // whole numbers only
  std::string unit;         // "mm", "MPa" or empty
};

NumberRange RangeOf(TypedField field);

// Whether `value` (finite) lies in the range (and is whole for an integer
// field).
bool InRange(double value, const NumberRange& range);

// "<name>须为<low>～<high>之间的数" (…的整数 for integer fields, with the
// unit after the bounds; "<name>须为大于<low>、不超过<high>的数" for a range
// open at its low end).
std::string RangeMessage(const NumberRange& range);

// The value of a typed text, or (value empty) the message.
struct TypedNumber {
  std::optional<float> value;
  std::string message;
};
TypedNumber ReadTypedNumber(std::string_view text, const NumberRange& range);
inline TypedNumber ReadTypedNumber(std::string_view text, TypedField field) {
  return ReadTypedNumber(text, RangeOf(field));
}

// The number of a typed text without a range check (nullopt when the text is
// not a number by the rule above).
std::optional<double> ParseTypedNumber(std::string_view text);

}  // namespace korvane
