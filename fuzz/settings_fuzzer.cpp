// Fuzz target of the settings file: the input is its text. Decoding must
// end without a crash; the settings taken must encode and decode again to
// the same text (what the program writes at exit is what it reads at the
// next start).
#include <cstddef>
#include <cstdint>
#include <cstdlib>
#include <string>
#include <string_view>

#include "core/app/korvane_doc.h"
#include "core/app/settings_file.h"
#include "fuzz_target.h"

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
  using namespace korvane;
  const std::string_view bytes(reinterpret_cast<const char*>(data), size);
  CKorvaneDoc doc(CKorvaneDoc::Settings::None);
  DecodeSettings(doc, bytes);
  const std::string written = EncodeSettings(doc);
  CKorvaneDoc again(CKorvaneDoc::Settings::None);
  DecodeSettings(again, written);
  if (EncodeSettings(again) != written) std::abort();
  return 0;
}
