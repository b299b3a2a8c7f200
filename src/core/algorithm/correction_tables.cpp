// Placeholder implementation; replaced by the default tables and lookups.
#include "core/algorithm/correction_tables.h"

namespace korvane {

CorrectionTables CorrectionTables::Defaults() { return CorrectionTables{}; }
int CoarseRow(float) { return 0; }
int FineRow(float) { return 0; }
int AngleColumn(int) { return -1; }
float CarbonTableValue(const CorrectionTables&, float, float) { return 0.0f; }

}  // namespace korvane
