// Every value a document holds, as text, for tests that must see that an
// operation (or an undo) left everything else exactly as it was. Floats are
// written with nine significant digits (exact for single precision), sample
// buffers as their length and a checksum. The modified flag is left out.
#pragma once

#include <string>

#include "core/app/korvane_doc.h"

namespace korvane::testing {

std::string DumpDocument(const CKorvaneDoc& doc);

}  // namespace korvane::testing
