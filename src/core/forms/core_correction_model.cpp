#include "core/forms/core_correction_model.h"

#include <algorithm>
#include <array>
#include <charconv>

#include "core/app/document_edits.h"
#include "core/data/text_format.h"
#include "core/data/typed_number.h"

namespace korvane {

namespace {

bool TypedStrength(const std::string& text, float& value) {
  const TypedNumber number = ReadTypedNumber(text, TypedField::CoreStrength);
  if (!number.value) return false;
  value = *number.value;
  return true;
}

}  // namespace

std::string CoreFormulaText(const CoreCorrection& c) {
  if (c.n() == 0) return c.problem;
  const bool eta = c.method == CoreMethod::Eta;
  std::string text = eta ? "η = (1/n)·Σ fcor,i/fcu,i = " : "Δtot = mean(fcor) − mean(fcu,i) = ";
  const std::string unit = eta ? "" : " MPa";
  text += FormatFixed(c.derived, 0, 4) + unit + "，取 " + FormatFixed(c.applied, 0, 2) + unit +
          "（n=" + FormatInt(c.n()) + "）";
  if (!c.problem.empty()) text += "\n" + c.problem;
  if (!c.warning.empty()) text += "\n" + c.warning;
  return text;
}

CoreCorrectionModel::CoreCorrectionModel(const CKorvaneDoc& doc) : doc_(doc) {
  // Each fcor as the shortest text that reads back as the value kept.
  for (const CoreSample& core : doc.cores) {
    std::array<char, 32> text{};
    const auto end = std::to_chars(text.data(), text.data() + text.size(), core.strength).ptr;
    rows_.push_back({core.member, core.zone, std::string(text.data(), end)});
  }
}

std::string CoreCorrectionModel::ColumnHead(int column) const {
  const bool eta = CoreMethodOf(doc_.standard) == CoreMethod::Eta;
  switch (column) {
    case 0: return "构件";
    case 1: return "测区";
    case 2: return "fcor(MPa)";
    case 3: return "fcu,i(MPa)";
    case 4: return eta ? "fcor/fcu,i" : "fcor-fcu,i(MPa)";
    default: return {};
  }
}

std::vector<std::string> CoreCorrectionModel::MemberNames() const {
  std::vector<std::string> names;
  for (std::size_t m = 0; m < doc_.members.size(); ++m) {
    names.push_back(doc_.members[m].name.empty() ? FormatInt(static_cast<long long>(m) + 1)
                                                 : doc_.members[m].name);
  }
  return names;
}

std::vector<std::string> CoreCorrectionModel::ZoneNames(int member) const {
  const int zones = doc_.ZoneCount(member);
  std::vector<std::string> names;
  names.reserve(static_cast<std::size_t>(zones));
  for (int z = 0; z < zones; ++z) names.push_back(FormatInt(z + 1));
  return names;
}

int CoreCorrectionModel::AddRow() {
  // After the last row: its member's next zone (the same at its last);
  // the first row on the current zone.
  if (!rows_.empty()) {
    const Row& last = rows_.back();
    rows_.push_back(
        {last.member, last.zone + 1 < doc_.ZoneCount(last.member) ? last.zone + 1 : last.zone, {}});
  } else {
    const ZoneRef at = CurrentZoneRef(doc_);
    rows_.push_back({std::max(0, at.member), std::max(0, at.zone), {}});
  }
  return static_cast<int>(rows_.size()) - 1;
}

void CoreCorrectionModel::RemoveRow(int row) {
  if (row >= 0 && row < static_cast<int>(rows_.size())) rows_.erase(rows_.begin() + row);
}

void CoreCorrectionModel::SetMember(int row, int member) {
  if (row < 0 || row >= static_cast<int>(rows_.size())) return;
  if (member < 0 || member >= static_cast<int>(doc_.members.size())) return;
  Row& r = rows_[static_cast<std::size_t>(row)];
  r.member = member;
  if (r.zone >= doc_.ZoneCount(member)) r.zone = 0;
}

void CoreCorrectionModel::SetZone(int row, int zone) {
  if (row < 0 || row >= static_cast<int>(rows_.size())) return;
  Row& r = rows_[static_cast<std::size_t>(row)];
  if (zone >= 0 && zone < doc_.ZoneCount(r.member)) r.zone = zone;
}

std::string CoreCorrectionModel::SetStrength(int row, std::string text) {
  if (row < 0 || row >= static_cast<int>(rows_.size())) return {};
  rows_[static_cast<std::size_t>(row)].strength = std::move(text);
  const TypedNumber number =
      ReadTypedNumber(rows_[static_cast<std::size_t>(row)].strength, TypedField::CoreStrength);
  return number.value ? std::string() : number.message;
}

std::vector<CoreSample> CoreCorrectionModel::Cores() const {
  std::vector<CoreSample> cores;
  for (const Row& row : rows_) {
    float strength = 0.0f;
    if (TypedStrength(row.strength, strength)) cores.push_back({row.member, row.zone, strength});
  }
  return cores;
}

CoreCorrection CoreCorrectionModel::Derived() const {
  return DeriveCoreCorrection(doc_.algorithm, doc_.members, doc_.zoneLists, Cores());
}

std::optional<CoreLine> CoreCorrectionModel::LineOf(int row) const {
  if (row < 0 || row >= static_cast<int>(rows_.size())) return std::nullopt;
  const Row& r = rows_[static_cast<std::size_t>(row)];
  float strength = 0.0f;
  if (!TypedStrength(r.strength, strength)) return std::nullopt;
  const CoreCorrection one =
      DeriveCoreCorrection(doc_.algorithm, doc_.members, doc_.zoneLists, {{r.member, r.zone, strength}});
  if (one.n() != 1) return std::nullopt;
  return one.lines.front();
}

std::string CoreCorrectionModel::ConversionText(int row) const {
  const std::optional<CoreLine> line = LineOf(row);
  return line ? FormatFixed(line->conversion, 0, 1) : std::string();
}

std::string CoreCorrectionModel::RatioText(int row) const {
  const std::optional<CoreLine> line = LineOf(row);
  if (!line) return {};
  return FormatFixed(line->ratio, 0, CoreMethodOf(doc_.standard) == CoreMethod::Eta ? 3 : 1);
}

std::string CoreCorrectionModel::FormulaText() const { return CoreFormulaText(Derived()); }

}  // namespace korvane
