#include "gui/document_model.h"

#include <QFile>
#include <algorithm>
#include <exception>

#include "core/algorithm/test_position.h"
#include "core/data/text_entry.h"
#include "core/data/text_format.h"
#include "core/wave/point_readings.h"

namespace korvane::gui {

std::filesystem::path ToFsPath(const QString& path) {
#ifdef _WIN32
  return std::filesystem::path(path.toStdWString());
#else
  return std::filesystem::path(QFile::encodeName(path).toStdString());
#endif
}

QString FormatFixed(float value, int decimals) {
  return QString::fromStdString(korvane::FormatFixed(static_cast<double>(value), decimals));
}

DocumentModel::DocumentModel(std::unique_ptr<CKorvaneDoc> doc, QObject* parent)
    : QObject(parent), doc_(std::move(doc)), lastModified_(doc_->modified) {}

// The document writes the settings file when it is destroyed (desktop mode).
DocumentModel::~DocumentModel() = default;

namespace {

// Runs a file operation of the document; the message of a failure.
template <typename Op>
QString Attempt(Op&& op) {
  try {
    op();
    return {};
  } catch (const std::exception& e) {
    QString text = QString::fromUtf8(e.what());
    return text.isEmpty() ? QStringLiteral("打开文件失败！") : text;
  }
}

}  // namespace

QString DocumentModel::open(const QString& path) {
  // The document keeps the path name and the opened-files list itself, and
  // shows no file after a failure.
  QString message = Attempt([&] { doc_->OnOpenDocument(ToFsPath(path)); });
  emit fileChanged();
  refreshModified();
  return message;
}

QString DocumentModel::save(const QString& path) {
  QString message = Attempt([&] { doc_->OnSaveDocument(ToFsPath(path)); });
  if (message.isEmpty()) doc_->modified = false;
  refreshModified();
  return message;
}

QString DocumentModel::saveResults(const QString& path) {
  QString message = Attempt([&] { doc_->SaveResults(ToFsPath(path)); });
  if (message.isEmpty()) doc_->modified = false;
  emit fileChanged();
  refreshModified();
  return message;
}

QString DocumentModel::previousZone() {
  const std::string message = doc_->PreviousZone();
  if (message.empty()) emit zoneChanged();
  return FromUtf8(message);
}

QString DocumentModel::nextZone() {
  const std::string message = doc_->NextZone();
  if (message.empty()) emit zoneChanged();
  return FromUtf8(message);
}

void DocumentModel::selectMember(int index) {
  if (!hasFile() || index < 0 || index >= static_cast<int>(doc_->members.size())) return;
  doc_->currentMember = index;
  doc_->currentZone = 0;
  doc_->currentPoint = 0;
  emit zoneChanged();
}

void DocumentModel::selectZone(int index) {
  if (!hasFile() || index < 0 || index >= doc_->ZoneCount(doc_->currentMember)) return;
  doc_->currentZone = index;
  emit zoneChanged();
}

void DocumentModel::zoneEdited() {
  if (TestZone* zone = currentZone()) doc_->RecomputeZoneVelocity(*zone);
  doc_->modified = true;
  emit zoneDataChanged();
  refreshModified();
}

void DocumentModel::pickArrival(int slot, int sample) {
  TestZone* zone = currentZone();
  if (zone == nullptr || slot < 0 || slot >= kMaxPoints) return;
  SetArrival(*zone, slot, sample, /*moveAmplitude=*/true);
  zoneEdited();
}

void DocumentModel::setPointDistance(int slot, float distance) {
  TestZone* zone = currentZone();
  if (zone == nullptr || slot < 0 || slot >= kMaxPoints) return;
  MeasuringPoint* point = zone->points[static_cast<std::size_t>(slot)].get();
  if (point == nullptr) return;
  point->distance = distance;
  RecomputePointReadings(*zone);
  zoneEdited();
}

void DocumentModel::setTestMethod(int method) {
  TestZone* zone = currentZone();
  if (zone == nullptr) return;
  zone->testMethod = method;
  zone->testLocation = std::string(DefaultTestLocation(method));
  ApplyBetaLambdaRule(*zone);
  zoneEdited();
}

bool DocumentModel::setTestLocation(const QString& location) {
  TestZone* zone = currentZone();
  const std::string text = location.toStdString();
  if (zone == nullptr || !IsStorableText(text, kMaxTestLocationLength)) return false;
  zone->testLocation = text;
  ApplyBetaLambdaRule(*zone);
  zoneEdited();
  return true;
}

void DocumentModel::setBeta(float beta) {
  TestZone* zone = currentZone();
  if (zone == nullptr) return;
  zone->beta = std::clamp(beta, 0.0f, 10.0f);
  zoneEdited();
}

void DocumentModel::setLambda(float lambda) {
  TestZone* zone = currentZone();
  if (zone == nullptr) return;
  zone->lambda = std::clamp(lambda, 0.0f, 10.0f);
  zoneEdited();
}

bool DocumentModel::setProjectText(ProjectText which, const QString& text) {
  const std::string utf8 = text.toStdString();
  if (!IsStorableText(utf8)) return false;
  std::string* field = nullptr;
  switch (which) {
    case ProjectText::Site: field = &doc_->project.site; break;
    case ProjectText::Unit: field = &doc_->project.unit; break;
    case ProjectText::Person: field = &doc_->project.person; break;
  }
  if (*field == utf8) return true;
  *field = utf8;
  setModified(true);
  return true;
}

void DocumentModel::setProjectDate(bool casting, const QDate& date) {
  if (!date.isValid()) return;
  const std::string text = FormatDate(CivilDate{date.year(), date.month(), date.day()});
  std::string& field = casting ? doc_->project.castingDate : doc_->project.testDate;
  if (field == text) return;
  field = text;
  setModified(true);
}

bool DocumentModel::renameMember(const QString& name) {
  Member* member = currentMember();
  const std::string utf8 = name.toStdString();
  if (member == nullptr || !IsStorableText(utf8)) return false;
  if (member->name != utf8) {
    member->name = utf8;
    setModified(true);
  }
  return true;
}

void DocumentModel::setModified(bool modified) {
  doc_->modified = modified;
  refreshModified();
}

void DocumentModel::refreshModified() {
  if (doc_->modified == lastModified_) return;
  lastModified_ = doc_->modified;
  emit modifiedChanged(lastModified_);
}

void DocumentModel::notifyWaveformsChanged() {
  emit waveformsChanged();
  emit zoneDataChanged();
  refreshModified();
}

void DocumentModel::notifyZoneDataChanged() {
  emit zoneDataChanged();
  refreshModified();
}

void DocumentModel::notifyFileChanged() {
  emit fileChanged();
  refreshModified();
}

}  // namespace korvane::gui
