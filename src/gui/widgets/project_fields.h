// The project fields both screens' forms show: 工程名称, 检测单位, 检测人员,
// 浇注日期, 检测日期 and the member list, created, bound to the document and
// refreshed in one place.
#pragma once

class QComboBox;
class QDateEdit;
class QFormLayout;
class QLineEdit;
class QVBoxLayout;
class QWidget;

namespace korvane {
class CKorvaneDoc;
}

namespace korvane::gui {

class DocumentModel;

struct ProjectFields {
  QLineEdit* site = nullptr;
  QLineEdit* unit = nullptr;
  QLineEdit* person = nullptr;
  QDateEdit* castingDate = nullptr;
  QDateEdit* testDate = nullptr;
  // Editable: Enter in its edit part renames the current member (the entry
  // keeps its place, so list positions still name members). Choosing an
  // entry is left to the form.
  QComboBox* member = nullptr;
};

// Creates the fields under `parent` (the forms lay them out) and binds them
// to `model`: each keystroke of a text is stored, one undo step until the
// field is left; a changed date is stored at once; texts refuse what a data
// file cannot hold.
ProjectFields MakeProjectFields(QWidget* parent, DocumentModel* model);

// Shows the document's texts and dates. A field being typed into already
// holds the document's text and keeps its cursor; a text that is no date
// shows today (the stored text stays as it is until changed).
void ShowProjectTexts(const ProjectFields& fields, const CKorvaneDoc& doc);

// A framed group of labelled rows added to `outer`.
QFormLayout* AddFormSection(QVBoxLayout* outer, QWidget* parent);

}  // namespace korvane::gui
