// Placeholder implementation; replaced by the recomputation order.
#include "core/app/korvane_doc.h"

namespace korvane {

void CKorvaneDoc::ComputeZone(int, int, bool) {}
void CKorvaneDoc::RecomputeMember(int, bool) {}
void CKorvaneDoc::EvaluateMember(int) {}
void CKorvaneDoc::EvaluateBatch() {}
void CKorvaneDoc::RecomputeAll() {}
void CKorvaneDoc::ApplyCoefficientsToAll() {}
void CKorvaneDoc::ApplyCorrectionsToAll() {}
void CKorvaneDoc::SetStandard(int index) {
  standardIndex = index;
  algorithm = CreateAlgorithm(index, &tables);
}
float CKorvaneDoc::MarkExtremes(const std::array<int, kReadingsPerZone>&, std::array<int, 6>& positions) const {
  positions = {0, 1, 2, 3, 4, 5};
  return 0.0f;
}
void CKorvaneDoc::RecomputeZoneVelocity(TestZone&) const {}

}  // namespace korvane
