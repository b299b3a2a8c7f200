// Placeholder implementation; replaced by the waveform filter.
#include "core/app/korvane_doc.h"

namespace korvane {

void CKorvaneDoc::RestoreZoneWaveforms() {}
void CKorvaneDoc::FilterZoneWaveforms() {}

}  // namespace korvane
