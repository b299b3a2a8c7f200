// Fuzz target of the companion file: the input is a companion's text. It
// must decode or be refused with a message; what decodes must encode and
// decode again to the same text (the file the program writes is the file it
// reads; texts are compared, as a NaN cell equals no float); and putting its values into records and dropping
// its unusable parts must end in descriptions, never a crash.
#include <cstddef>
#include <cstdint>
#include <cstdlib>
#include <string>
#include <string_view>

#include "core/data/companion_file.h"
#include "core/data/synthetic_data.h"
#include "fuzz_target.h"

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
  using namespace korvane;
  const std::string_view bytes(reinterpret_cast<const char*>(data), size);
  CompanionText decoded = DecodeCompanion(bytes);
  if (!decoded.valid) return 0;
  const std::string again = EncodeCompanion(decoded.data, "a.SHA", "text");
  const CompanionText back = DecodeCompanion(again);
  if (!back.valid || EncodeCompanion(back.data, "a.SHA", "text") != again) std::abort();

  ProjectInfo project = NewProjectInfo();
  std::vector<Member> members(2);
  ZoneLists zoneLists(2);
  for (ZoneList& zones : zoneLists) zones.resize(3);
  ApplyStoredValues(decoded.data.values, &project, members, zoneLists);
  DropUnusableParts(decoded.data, zoneLists);
  return 0;
}
