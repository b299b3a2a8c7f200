// Fuzz target of the suggested first arrival. Input: the waveform's codes,
// two bytes each, little-endian (a trailing odd byte is dropped). Every
// input must give a proposal within the trace, sample 1 at least, with a
// confidence in 0..1 that agrees with its flag.
#include <cstddef>
#include <cstdint>
#include <cstdlib>
#include <vector>

#include "core/wave/arrival_picker.h"
#include "fuzz_target.h"

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
  std::vector<std::uint16_t> codes(size / 2);
  for (std::size_t k = 0; k < codes.size(); ++k) {
    codes[k] = static_cast<std::uint16_t>(data[2 * k] | (data[2 * k + 1] << 8));
  }
  const korvane::ArrivalProposal p = korvane::ProposeArrival(codes, 0.4f, 1.0f);
  const int last = codes.size() > 1 ? static_cast<int>(codes.size()) - 1 : 1;
  const bool consistent = p.sample >= 1 && p.sample <= last && p.confidence >= 0.0f && p.confidence <= 1.0f &&
                          p.lowConfidence == (p.confidence < korvane::kLowConfidence) &&
                          p.lowConfidence == (p.status != korvane::ArrivalPickStatus::kClear);
  if (!consistent) std::abort();
  return 0;
}
