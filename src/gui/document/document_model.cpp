#include "gui/document/document_model.h"

#include <QDir>
#include <QFile>
#include <QLineEdit>
#include <algorithm>
#include <exception>

#include "core/app/edit_names.h"
#include "core/app/edit_snapshot.h"
#include "core/data/file_pair.h"
#include "core/data/text_format.h"
#include "gui/document/edit_command.h"

namespace korvane::gui {

std::filesystem::path ToFsPath(const QString& path) {
#ifdef _WIN32
  // Qt's '/' (file dialogs, QDir) as Windows writes paths, so that every
  // message and the document's name show them the system's way.
  return std::filesystem::path(QDir::toNativeSeparators(path).toStdWString());
#else
  return std::filesystem::path(QFile::encodeName(path).toStdString());
#endif
}

QString FormatFixed(float value, int decimals) {
  return QString::fromStdString(korvane::FormatFixed(static_cast<double>(value), decimals));
}

DocumentModel::DocumentModel(std::unique_ptr<CKorvaneDoc> doc, QObject* parent)
    : QObject(parent), doc_(std::move(doc)), lastModified_(doc_->modified) {
  // Data handed over as modified are not the saved state.
  if (doc_->modified) history_.resetClean();
  connect(&history_, &QUndoStack::cleanChanged, this, &DocumentModel::syncModified);
  connect(&history_, &QUndoStack::indexChanged, this, &DocumentModel::syncModified);
}

// The document writes the settings file when it is destroyed (desktop mode).
DocumentModel::~DocumentModel() {
  // The history clears itself when destroyed; the flag need not follow.
  disconnect(&history_, nullptr, this, nullptr);
}

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

QString DocumentModel::open(const QString& path, const ReadProgress& progress) {
  // The document keeps the path name and the opened-files list itself, and
  // shows no file after a failure. A cancel (OpenCancelled from `progress`)
  // goes on before anything here changed.
  QString message =
      Attempt([&] { doc_->OnOpenDocument(ToFsPath(path), WaveformReading::Samples, progress); });
  // Other data (or none): a new history.
  suggestion_.reset();
  history_.clear();
  if (message.isEmpty()) recomputeIfStrengthsShown();
  emit fileChanged();
  syncModified();
  return message;
}

void DocumentModel::recomputeIfStrengthsShown() {
  if (strengthsShown_) RecomputeOpenedFile(*doc_);
}

QString DocumentModel::save(const QString& path, const WriteProgress& progress) {
  const std::string before = doc_->pathName;
  QString message = Attempt([&] { doc_->OnSaveDocument(ToFsPath(path), progress); });
  if (message.isEmpty()) {
    // The history goes on; undoing back to here clears the flag again.
    history_.setClean();
    if (doc_->pathName != before) emit pathChanged();
    // A result file's strengths were recomputed before it was written.
    if (KindOfPath(ToFsPath(path)) == FileKind::Result) emit zoneDataChanged();
  }
  syncModified();
  return message;
}

QString DocumentModel::saveResults(const QString& path, const WriteProgress& progress) {
  const std::string before = doc_->pathName;
  QString message = Attempt([&] { doc_->SaveResults(ToFsPath(path), progress); });
  if (message.isEmpty()) {
    // As after a save: the data and their history go on, every value as it
    // was; the strengths written were recomputed.
    history_.setClean();
    if (doc_->pathName != before) emit pathChanged();
    emit zoneDataChanged();
  }
  syncModified();
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

EditResult DocumentModel::edit(std::string_view name, EditOperation op, TypingField typing) {
  EditResult result = apply(op(*doc_));
  if (result.before) {
    // Merged into the top step (typing going on) or a new top step.
    history_.push(new EditCommand(this, FromUtf8(std::string(name)), result, std::move(op), typing));
    topTakesTyping_ = true;
  }
  syncModified();
  return result;
}

void DocumentModel::recordApplied(std::string_view name, const EditResult& result, EditOperation redo) {
  apply(result);
  if (result.before) {
    history_.push(
        new EditCommand(this, FromUtf8(std::string(name)), result, std::move(redo), TypingField::None));
    topTakesTyping_ = true;
  }
  syncModified();
}

void DocumentModel::endTyping() { topTakesTyping_ = false; }

void DocumentModel::undo() {
  if (!history_.canUndo()) return;
  // A step undone or redone is done with: typing starts a step of its own.
  topTakesTyping_ = false;
  history_.undo();
}

void DocumentModel::redo() {
  if (!history_.canRedo()) return;
  topTakesTyping_ = false;
  history_.redo();
}

void DocumentModel::showPlace(const EditResult& step) {
  const ZoneRef at = step.at;
  if (at.member < 0 ||
      Touches(step.scope, EditScope::AllMembers | EditScope::AllZones | EditScope::AllZoneValues))
    return;
  if (at.member != doc_->currentMember) apply(SelectMember(*doc_, at.member));
  if (at.zone < 0 || !Touches(step.scope, EditScope::Zone)) return;
  if (at.zone != doc_->currentZone) apply(SelectZone(*doc_, at.zone));
  // The analysis screen shows one point at a time; the main screen all.
  if (strengthsShown_ && step.point >= 0 && step.point != doc_->currentPoint) {
    apply(SelectPoint(*doc_, step.point));
  }
}

EditResult DocumentModel::followStrengths(EditResult step) {
  return strengthsShown_ ? FollowStrengths(*doc_, std::move(step)) : step;
}

void DocumentModel::restoreStep(const EditResult& step, const EditSnapshot& before) {
  clearSuggestion();
  showPlace(step);
  before.Restore(*doc_);
  EditResult undone = step;
  undone.scope = before.scope();
  apply(followStrengths(undone));
  // The flag follows the history once it has moved (indexChanged).
}

void DocumentModel::redoStep(const EditResult& step, const EditOperation& op) {
  clearSuggestion();
  showPlace(step);
  apply(followStrengths(op(*doc_)));
}

int DocumentModel::proposedArrival(int slot) const {
  if (!suggestion_) return -1;
  return ProposedArrival(*suggestion_, doc_->currentMember, doc_->currentZone, slot);
}

void DocumentModel::showSuggestion(ArrivalSuggestion suggestion) {
  suggestion_ = std::move(suggestion);
  emit suggestionChanged();
}

void DocumentModel::clearSuggestion() {
  if (!suggestion_) return;
  suggestion_.reset();
  emit suggestionChanged();
}

EditResult DocumentModel::apply(EditResult result) {
  const EditScope scope = result.scope;
  if (Touches(scope, EditScope::Position)) emit zoneChanged();
  if (Touches(scope, EditScope::Waveforms)) emit waveformsChanged();
  if (Touches(scope, EditScope::Zone | EditScope::MemberZones | EditScope::AllZones |
                         EditScope::AllZoneValues | EditScope::Member | EditScope::AllMembers |
                         EditScope::Batch | EditScope::Standard | EditScope::Tables)) {
    emit zoneDataChanged();
  }
  if (result.changed()) emit edited(result);
  refreshModified();
  return result;
}

void DocumentModel::selectMember(int index) { apply(SelectMember(*doc_, index)); }

void DocumentModel::selectZone(int index) { apply(SelectZone(*doc_, index)); }

void DocumentModel::selectPoint(int index) { apply(SelectPoint(*doc_, index)); }

void DocumentModel::pickArrival(int slot, int sample) {
  const ZoneRef at = current();
  edit(edit_name::kPick,
       [=](CKorvaneDoc& d) { return PickArrival(d, at, slot, sample, PickPanel::PointPanel); });
}

void DocumentModel::setPointDistance(int slot, float distance) {
  const ZoneRef at = current();
  edit(edit_name::kDistance, [=](CKorvaneDoc& d) { return SetPointDistance(d, at, slot, distance); });
}

void DocumentModel::setTestMethod(TestMethod method) {
  const ZoneRef at = current();
  edit(edit_name::kTestMethod, [=](CKorvaneDoc& d) { return SetTestMethod(d, at, method); });
}

bool DocumentModel::setTestLocation(const QString& location) {
  const ZoneRef at = current();
  const std::string text = location.toStdString();
  return !edit(edit_name::kTestLocation, [=](CKorvaneDoc& d) {
            return SetTestLocation(d, at, text);
          }).refused;
}

void DocumentModel::setBeta(float beta) {
  const ZoneRef at = current();
  edit(edit_name::kBeta, [=](CKorvaneDoc& d) { return SetZoneField(d, at, ZoneField::Beta, beta); });
}

void DocumentModel::setLambda(float lambda) {
  const ZoneRef at = current();
  edit(edit_name::kLambda, [=](CKorvaneDoc& d) { return SetZoneField(d, at, ZoneField::Lambda, lambda); });
}

bool DocumentModel::setProjectText(ProjectText which, const QString& text) {
  const std::string value = text.toStdString();
  const TypingField typing = which == ProjectText::Site   ? TypingField::Site
                             : which == ProjectText::Unit ? TypingField::Unit
                                                          : TypingField::Person;
  return !edit(
              edit_name::ProjectText(which), [=](CKorvaneDoc& d) { return SetProjectText(d, which, value); },
              typing)
              .refused;
}

void DocumentModel::setProjectDate(bool casting, const QDate& date) {
  if (!date.isValid()) return;
  const ProjectDate which = casting ? ProjectDate::Casting : ProjectDate::Test;
  const CivilDate value{date.year(), date.month(), date.day()};
  edit(
      edit_name::ProjectDate(which), [=](CKorvaneDoc& d) { return SetProjectDate(d, which, value); },
      casting ? TypingField::CastingDate : TypingField::TestDate);
}

bool DocumentModel::renameMember(const QString& name) {
  const int member = doc_->currentMember;
  const std::string text = name.toStdString();
  return !edit(edit_name::kMemberName, [=](CKorvaneDoc& d) { return RenameMember(d, member, text); }).refused;
}

void DocumentModel::setSectionGainDelay(int member, float gain, float delay) {
  edit(edit_name::kGainDelay, [=](CKorvaneDoc& d) { return SetSectionGainDelay(d, member, gain, delay); });
}

void DocumentModel::setModified(bool modified) {
  if (modified) {
    history_.resetClean();
  } else {
    history_.setClean();
  }
  doc_->modified = modified;
  refreshModified();
}

void DocumentModel::syncModified() {
  doc_->modified = doc_->HasFile() && !history_.isClean();
  refreshModified();
}

void DocumentModel::refreshModified() {
  if (doc_->modified == lastModified_) return;
  lastModified_ = doc_->modified;
  emit modifiedChanged(lastModified_);
}

void EndTypingWhenLeft(QLineEdit* field, DocumentModel* model) {
  QObject::connect(field, &QLineEdit::editingFinished, model, [field, model] {
    model->endTyping();
    // setText drops the field's own undo; the cursor stays where it was.
    const int cursor = field->cursorPosition();
    field->setText(field->text());
    field->setCursorPosition(cursor);
  });
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
