// Project information bar of the main screen: project texts and dates, the
// current member (renamable) and zone, test method and position with the β/λ
// rule, β, λ, V, Va, the point velocities and the files opened in this run.
#pragma once

#include <QWidget>
#include <array>

#include "core/data/records.h"
#include "gui/widgets/project_fields.h"

class QComboBox;
class QDateEdit;
class QLineEdit;
class QListWidget;

namespace korvane::gui {

class DocumentModel;
class Prompter;

class CMainForm : public QWidget {
  Q_OBJECT

 public:
  CMainForm(DocumentModel* model, Prompter* prompter, QWidget* parent = nullptr);

  QLineEdit* siteField() const { return project_.site; }
  QLineEdit* unitField() const { return project_.unit; }
  QLineEdit* personField() const { return project_.person; }
  QDateEdit* castingDateField() const { return project_.castingDate; }
  QDateEdit* testDateField() const { return project_.testDate; }
  QComboBox* memberList() const { return project_.member; }
  QComboBox* zoneList() const { return zone_; }
  QComboBox* methodList() const { return method_; }
  QComboBox* locationList() const { return location_; }
  QLineEdit* betaField() const { return beta_; }
  QLineEdit* lambdaField() const { return lambda_; }
  QLineEdit* velocityField() const { return velocity_; }
  QLineEdit* correctedVelocityField() const { return corrected_; }
  QLineEdit* pointVelocityField(int slot) const { return pointVelocity_[static_cast<std::size_t>(slot)]; }
  QListWidget* fileList() const { return files_; }

  // Reloads everything (after a file was opened).
  void refreshAll();
  // Reloads the member and zone choice and the zone's fields.
  void refreshZone();
  // Reloads the zone's fields (method, position, β, λ, V, Va, point velocities).
  void refreshZoneFields();

 signals:
  // A double click in the opened-files list.
  void openRequested(const QString& path);

 private:
  void refreshProject();
  void refreshFiles();
  // β or λ typed: entered, or its message shown (false).
  bool coefficientEntered(bool beta);

  DocumentModel* model_;
  Prompter* prompter_;
  ProjectFields project_;
  QComboBox* zone_;
  QComboBox* method_;
  QComboBox* location_;
  bool fileLocationShown_ = false;  // the last entry is the zone's own text
  QLineEdit* beta_;
  QLineEdit* lambda_;
  QLineEdit* velocity_;
  QLineEdit* corrected_;
  std::array<QLineEdit*, kMaxPoints> pointVelocity_{};
  QListWidget* files_;
};

}  // namespace korvane::gui
