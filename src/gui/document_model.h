// Thin Qt wrapper around the document: the widgets read the document's
// records directly (they keep no copies of test data) and change them through
// the document's editing operations, whose results the model turns into the
// signals that make every view refresh.
#pragma once

#include <QDate>
#include <QObject>
#include <QString>
#include <filesystem>
#include <memory>

#include "core/app/document_edits.h"
#include "core/app/korvane_doc.h"

namespace korvane::gui {

// Path of a file name as the file system wants it.
std::filesystem::path ToFsPath(const QString& path);
// Text of a UTF-8 core string.
inline QString FromUtf8(const std::string& text) {
  return QString::fromUtf8(text.data(), static_cast<qsizetype>(text.size()));
}
// A float with a fixed number of decimals, independent of the locale ("%.3f").
QString FormatFixed(float value, int decimals);

// Every change of the document's data goes through the editing layer
// (core/app/document_edits.h): the model calls the operation for the
// current member and zone and relays what it changed as signals.
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

  // Relays the result of an editing operation: the signals of what it
  // changed, then modifiedChanged when the flag moved. Returns the result.
  // Views call the operations for any zone through this:
  //   model->apply(SetReading(model->doc(), at, index, value)).
  EditResult apply(EditResult result);

  // ---- Files (the caller shows a returned message) --------------------------
  // Opens a data file pair; empty on success, else the message to show. The
  // modified flag is cleared; on failure the document shows no file.
  QString open(const QString& path);
  // Writes the data to `path` by its type; empty on success.
  QString save(const QString& path);
  // Writes a result file and opens it; empty on success.
  QString saveResults(const QString& path);

  // ---- Navigation ------------------------------------------------------------
  // Previous / next zone of the current member: empty when it moved, else the
  // message ("当前为构件第一个测区" / "当前为构件最后一个测区").
  QString previousZone();
  QString nextZone();
  // Makes member `index` current with zone 0 and point 0.
  void selectMember(int index);
  void selectZone(int index);

  // ---- Edits of the current zone (main screen) -------------------------------
  // A click on the waveform of point `slot`: arrival and amplitude move to
  // sample k (at least 1), then the point readings, V and Va are recomputed.
  void pickArrival(int slot, int sample);
  // Distance L (mm) of point `slot`, taken as typed; recomputes the readings.
  void setPointDistance(int slot, float distance);
  // Test method: the position becomes the method's default, then the β/λ rule
  // and the velocity recomputation.
  void setTestMethod(int method);
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

  // ---- Modified flag ----------------------------------------------------------
  bool isModified() const { return doc_->modified; }
  void setModified(bool modified);
  // Emits modifiedChanged when something set the document's flag directly.
  void refreshModified();

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
  // Every change an editing operation made, after the signals above.
  void edited(const korvane::EditResult& result);

 private:
  std::unique_ptr<CKorvaneDoc> doc_;
  bool lastModified_ = false;
};

}  // namespace korvane::gui
