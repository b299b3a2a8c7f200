#include "gui/document_model.h"

#include <QFile>
#include <algorithm>
#include <exception>

#include "core/data/text_format.h"

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
  refreshModified();
  return message;
}

QString DocumentModel::saveResults(const QString& path) {
  QString message = Attempt([&] { doc_->SaveResults(ToFsPath(path)); });
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

EditResult DocumentModel::apply(EditResult result) {
  const EditScope scope = result.scope;
  if (Touches(scope, EditScope::Position)) emit zoneChanged();
  if (Touches(scope, EditScope::Waveforms)) emit waveformsChanged();
  if (Touches(scope, EditScope::Zone | EditScope::MemberZones | EditScope::AllZones | EditScope::Member |
                         EditScope::AllMembers | EditScope::Batch | EditScope::Standard |
                         EditScope::Tables)) {
    emit zoneDataChanged();
  }
  if (result.changed()) emit edited(result);
  refreshModified();
  return result;
}

void DocumentModel::selectMember(int index) { apply(SelectMember(*doc_, index)); }

void DocumentModel::selectZone(int index) { apply(SelectZone(*doc_, index)); }

void DocumentModel::pickArrival(int slot, int sample) {
  apply(PickArrival(*doc_, current(), slot, sample, PickPanel::PointPanel));
}

void DocumentModel::setPointDistance(int slot, float distance) {
  apply(SetPointDistance(*doc_, current(), slot, distance));
}

void DocumentModel::setTestMethod(int method) { apply(SetTestMethod(*doc_, current(), method)); }

bool DocumentModel::setTestLocation(const QString& location) {
  return !apply(SetTestLocation(*doc_, current(), location.toStdString())).refused;
}

void DocumentModel::setBeta(float beta) { apply(SetBeta(*doc_, current(), beta)); }

void DocumentModel::setLambda(float lambda) { apply(SetLambda(*doc_, current(), lambda)); }

bool DocumentModel::setProjectText(ProjectText which, const QString& text) {
  return !apply(SetProjectText(*doc_, which, text.toStdString())).refused;
}

void DocumentModel::setProjectDate(bool casting, const QDate& date) {
  if (!date.isValid()) return;
  apply(SetProjectDate(*doc_, casting ? ProjectDate::Casting : ProjectDate::Test,
                       CivilDate{date.year(), date.month(), date.day()}));
}

bool DocumentModel::renameMember(const QString& name) {
  return !apply(RenameMember(*doc_, doc_->currentMember, name.toStdString())).refused;
}

void DocumentModel::setSectionGainDelay(int member, float gain, float delay) {
  apply(SetSectionGainDelay(*doc_, member, gain, delay));
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
