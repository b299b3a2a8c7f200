// Thin Qt wrapper around the document: the widgets read the document's
// records directly (they keep no copies of test data) and change them through
// the operations below, which emit the signals that make every view refresh.
#pragma once

#include <QDate>
#include <QObject>
#include <QString>
#include <filesystem>
#include <memory>

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

class DocumentModel : public QObject {
  Q_OBJECT

 public:
  // Project texts the main form edits.
  enum class ProjectText { Site, Unit, Person };

  explicit DocumentModel(std::unique_ptr<CKorvaneDoc> doc, QObject* parent = nullptr);
  ~DocumentModel() override;

  CKorvaneDoc& doc() { return *doc_; }
  const CKorvaneDoc& doc() const { return *doc_; }
  bool hasFile() const { return doc_->HasFile(); }
  TestZone* currentZone() { return doc_->GetCurrentZone(); }
  Member* currentMember() { return doc_->GetCurrentMember(); }

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

  // ---- Edits of the current zone --------------------------------------------
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

  // ---- Project and member texts ----------------------------------------------
  // Refused (false) when the text holds a line break.
  bool setProjectText(ProjectText which, const QString& text);
  void setProjectDate(bool casting, const QDate& date);
  bool renameMember(const QString& name);

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
  void zoneDataChanged();   // readings or coefficients of the current zone changed
  void waveformsChanged();  // samples of the current zone changed: redraw the panels
  void modifiedChanged(bool modified);

 private:
  void zoneEdited();

  std::unique_ptr<CKorvaneDoc> doc_;
  bool lastModified_ = false;
};

}  // namespace korvane::gui
