// The program's enumerations in test messages: their names in the lists the
// user sees, or their numbers.
#pragma once

#include <ostream>

#include "core/data/records.h"
#include "core/standards/standards.h"

namespace korvane {

inline std::ostream& operator<<(std::ostream& out, Standard standard) {
  return out << StandardDisplayName(standard);
}
inline std::ostream& operator<<(std::ostream& out, TestMethod method) {
  return out << static_cast<int>(method);
}
inline std::ostream& operator<<(std::ostream& out, Surface surface) {
  return out << static_cast<int>(surface);
}
inline std::ostream& operator<<(std::ostream& out, Aggregate aggregate) {
  return out << static_cast<int>(aggregate);
}
inline std::ostream& operator<<(std::ostream& out, ResultFlag flag) { return out << static_cast<int>(flag); }

}  // namespace korvane
