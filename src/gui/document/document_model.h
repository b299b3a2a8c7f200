// Thin Qt wrapper around the document: the widgets read the document's
// records directly (they keep no copies of test data) and change them through
// the document's editing operations, whose results the model turns into the
// signals that make every view refresh.
#pragma once

#include <QDate>
#include <QObject>
#include <QString>
#include <QUndoStack>
#include <filesystem>
#include <functional>
#include <memory>
#include <optional>
#include <string_view>

#include "core/app/arrival_suggestion.h"
#include "core/app/document_edits.h"
#include "core/app/korvane_doc.h"

class QLineEdit;

namespace korvane::gui {

// Path of a file name as the file system wants it (on Windows with the
// system's separators).
std::filesystem::path ToFsPath(const QString& path);
// Text of a UTF-8 core string.
inline QString FromUtf8(std::string_view text) {
  return QString::fromUtf8(text.data(), static_cast<qsizetype>(text.size()));
}
// A float with a fixed number of decimals, independent of the locale ("%.3f").
QString FormatFixed(float value, int decimals);

// One of the document's editing operations with its arguments bound, as the
// undo history runs it again for redo.
using EditOperation = std::function<EditResult(CKorvaneDoc&)>;

// Fields whose typing is kept as one undo step while the user types on
// (each keystroke is an edit of the document).
enum class TypingField { None = -1, Site = 1, Unit, Person, CastingDate, TestDate };

// Every change of the document's data goes through the editing layer
// (core/app/document_edits.h) and the undo history: the model calls the
// operation, relays what it changed as signals and records it as one step
// of the history, whose undo restores the snapshot the operation returned
// and whose redo calls the operation again. The modified flag follows the
// history: it is clear exactly when the history stands where the file was
// last opened or saved.
class DocumentModel : public QObject {
  Q_OBJECT

 public:
  using ProjectText = korvane::ProjectText;

  explicit DocumentModel(std::unique_ptr<CKorvaneDoc> doc, QObject* parent = nullptr);
  ~DocumentModel() override;

  CKorvaneDoc& doc() { return *doc_; }
  const CKorvaneDoc& doc() const { return *doc_; }
  bool hasFile() const { return doc_->HasFile(); }
  TestZone* currentZone() { return doc_->GetCurrentZone(); }
  Member* currentMember() { return doc_->GetCurrentMember(); }
  ZoneRef current() const { return CurrentZoneRef(*doc_); }

  // ---- Edits and their history --------------------------------------------
  // Runs an editing operation (for any zone), relays its signals and, when
  // it changed the data, records it as one undoable step named `name`
  // ("拾取首波"). The operation must name its member and zone explicitly
  // (not "the current one"): redo calls it again after the position may
  // have moved. Consecutive edits of one `typing` field merge into one step
  // until endTyping(). Returns the operation's result.
  //   model->edit(edit_name::kReading,
  //               [=](CKorvaneDoc& d) { return SetReading(d, at, index, value); });
  EditResult edit(std::string_view name, EditOperation op, TypingField typing = TypingField::None);
  // Records a change that is already in the document (the filter dialog
  // filters while it is open): `result.before` is the state before it;
  // redo calls `redo`. Relays the signals of `result`.
  void recordApplied(std::string_view name, const EditResult& result, EditOperation redo);
  // The typing in a field ended (Enter, or it lost the focus): its next
  // edit is a step of its own.
  void endTyping();
  bool topTakesTyping() const { return topTakesTyping_; }
  QUndoStack* undoStack() { return &history_; }
  // Undo and redo of the last step; the view shows the zone the step
  // changed first (see showPlace).
  void undo();
  void redo();
  // Whether the screen shown shows strengths (the analysis screen). Edits
  // of the main screen recompute point readings, V and Va only (the
  // analysis screen's "输出" recomputes the rest); undone or redone while
  // strengths are shown, their zone is also recomputed with its member and
  // the batch, as "输出" would, so that the screen stays consistent.
  void setStrengthsShown(bool shown) { strengthsShown_ = shown; }

  // ---- Files (the caller shows a returned message) --------------------------
  // Opens a data file pair; empty on success, else the message to show. The
  // modified flag is cleared; on failure the document shows no file. While
  // strengths are shown, the file opened is recomputed (as "输出" does).
  // `progress` as CKorvaneDoc::OnOpenDocument's: OpenCancelled from it
  // leaves the document, its history and the screens as they were.
  QString open(const QString& path, const ReadProgress& progress = {});
  // Writes the data to `path` by its type (a result file recomputed first);
  // empty on success. A save to another file makes the document name it
  // (pathChanged).
  QString save(const QString& path, const WriteProgress& progress = {});
  // Writes a result file with every strength recomputed, which the document
  // then names, as save() does; every value stays. Empty on success.
  QString saveResults(const QString& path, const WriteProgress& progress = {});

  // ---- Navigation ------------------------------------------------------------
  // Previous / next zone of the current member: empty when it moved, else the
  // message ("当前为构件第一个测区" / "当前为构件最后一个测区").
  QString previousZone();
  QString nextZone();
  // Makes member `index` current with zone 0 and point 0.
  void selectMember(int index);
  void selectZone(int index);
  void selectPoint(int index);

  // ---- Edits of the current zone (main screen) -------------------------------
  // A click on the waveform of point `slot`: arrival and amplitude move to
  // sample k (at least 1), then the point readings, V and Va are recomputed.
  void pickArrival(int slot, int sample);
  // Distance L (mm) of point `slot`, taken as typed; recomputes the readings.
  void setPointDistance(int slot, float distance);
  // Test method: the position becomes the method's default, then the β/λ rule
  // and the velocity recomputation.
  void setTestMethod(TestMethod method);
  // Test position; refused (false) when a data file cannot hold the text.
  bool setTestLocation(const QString& location);
  // β or λ, limited to 0..10, then the velocity recomputation.
  void setBeta(float beta);
  void setLambda(float lambda);

  // ---- Project, member and acquisition parameters ----------------------------
  // Refused (false) when the text holds a line break.
  bool setProjectText(ProjectText which, const QString& text);
  void setProjectDate(bool casting, const QDate& date);
  // Renames the current member; refused (false) for a line break.
  bool renameMember(const QString& name);
  // "检测参数" "确定" for member `member`.
  void setSectionGainDelay(int member, float gain, float delay);

  // ---- Suggested first arrivals ("自动判读首波") ----------------------------------
  // The suggestion the views show beside the stored arrivals (proposed
  // lines) while the user decides; null when none is shown.
  const ArrivalSuggestion* suggestion() const { return suggestion_ ? &*suggestion_ : nullptr; }
  // The proposed sample of point `slot` of the current zone, or -1.
  int proposedArrival(int slot) const;
  void showSuggestion(ArrivalSuggestion suggestion);
  void clearSuggestion();

  // ---- Modified flag ----------------------------------------------------------
  bool isModified() const { return doc_->modified; }
  // False: the history's current state becomes the saved one; true: no
  // state of the history is the saved one.
  void setModified(bool modified);
  // Emits modifiedChanged when something set the document's flag directly.
  void refreshModified();
  // The flag from the history (modified unless it stands at the saved
  // state), after a change the history does not hold was taken back.
  void syncModified();

  // Tells the views that something outside these operations changed the
  // document: the waveforms of the current zone (filter), its readings, or
  // the whole data.
  void notifyWaveformsChanged();
  void notifyZoneDataChanged();
  void notifyFileChanged();

 signals:
  void fileChanged();       // a file was opened or failed to open: reload everything
  void zoneChanged();       // the current member or zone changed
  void zoneDataChanged();   // values of zones, members or the batch changed
  void waveformsChanged();  // samples of the current zone changed: redraw the panels
  void modifiedChanged(bool modified);
  // A save made the document name another file (its pathName and the top
  // of the opened-files list); the data shown stay as they are.
  void pathChanged();
  // Every change an editing operation made, after the signals above (also
  // of an undo or redo, with the scope of the step).
  void edited(const korvane::EditResult& result);
  // The suggestion shown changed (shown or cleared).
  void suggestionChanged();

 private:
  friend class EditCommand;

  // Relays the result of an operation: the signals of what it changed, then
  // modifiedChanged when the flag moved.
  EditResult apply(EditResult result);
  // Undo and redo of one step (EditCommand).
  void restoreStep(const EditResult& step, const EditSnapshot& before);
  void redoStep(const EditResult& step, const EditOperation& op);
  // Makes the zone (member) a step changed current before it is undone or
  // redone: a step of one zone shows that zone (and on the analysis screen,
  // which shows one point, its point for a pick or a distance), a step of
  // one member's records that member; steps of every member or of the file
  // leave the position.
  void showPlace(const EditResult& step);
  // The analysis screen's recomputation after a main-screen step was undone
  // or redone (setStrengthsShown); returns the step with what it changed.
  EditResult followStrengths(EditResult step);
  // After a file was opened: the recomputation of "输出" while strengths are
  // shown.
  void recomputeIfStrengthsShown();

  std::unique_ptr<CKorvaneDoc> doc_;
  QUndoStack history_;
  bool lastModified_ = false;
  bool strengthsShown_ = false;
  std::optional<ArrivalSuggestion> suggestion_;
  // Whether the top step of the history takes further typing of its field
  // (EditCommand::mergeWith): until endTyping(), an undo or a redo.
  bool topTakesTyping_ = false;
};

// A text field whose every keystroke is an edit (project texts): when its
// typing ends (Enter, or the field is left) the history starts a new step,
// and the field forgets its own undo, so that Ctrl+Z in it then undoes the
// document's step rather than the field's keystrokes.
void EndTypingWhenLeft(QLineEdit* field, DocumentModel* model);

}  // namespace korvane::gui
