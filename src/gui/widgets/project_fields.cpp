#include "gui/widgets/project_fields.h"

#include <QComboBox>
#include <QDate>
#include <QDateEdit>
#include <QFormLayout>
#include <QGroupBox>
#include <QLineEdit>
#include <QSignalBlocker>
#include <QVBoxLayout>
#include <optional>
#include <string>
#include <string_view>
#include <utility>

#include "core/app/korvane_doc.h"
#include "core/data/text_entry.h"
#include "core/report/report_records.h"
#include "gui/document/document_model.h"
#include "gui/widgets/text_validator.h"

namespace korvane::gui {

namespace {

QDateEdit* DateField(QWidget* parent) {
  auto* edit = new QDateEdit(parent);
  edit->setCalendarPopup(true);
  edit->setDisplayFormat(QStringLiteral("yyyy-M-d"));
  return edit;
}

}  // namespace

ProjectFields MakeProjectFields(QWidget* parent, DocumentModel* model) {
  ProjectFields f;
  f.site = new QLineEdit(parent);
  f.unit = new QLineEdit(parent);
  f.person = new QLineEdit(parent);
  f.castingDate = DateField(parent);
  f.testDate = DateField(parent);
  f.member = new QComboBox(parent);
  f.member->setEditable(true);
  f.member->setInsertPolicy(QComboBox::NoInsert);

  using Text = DocumentModel::ProjectText;
  for (const auto& field :
       {std::pair{f.site, Text::Site}, std::pair{f.unit, Text::Unit}, std::pair{f.person, Text::Person}}) {
    QLineEdit* edit = field.first;
    const Text which = field.second;
    edit->setValidator(new StorableTextValidator(-1, edit));
    QObject::connect(edit, &QLineEdit::textEdited, model,
                     [model, which](const QString& text) { model->setProjectText(which, text); });
    // Left: the text as the file will read it back, within the same step.
    QObject::connect(edit, &QLineEdit::editingFinished, model, [edit, model, which] {
      const std::string typed = edit->text().toStdString();
      const std::string_view kept = WithoutOuterBlanks(typed);
      if (kept.size() != typed.size()) model->setProjectText(which, FromUtf8(kept));
    });
    // Typing goes on as one undo step until the field is left.
    EndTypingWhenLeft(edit, model);
  }
  for (const auto& field : {std::pair{f.castingDate, true}, std::pair{f.testDate, false}}) {
    QDateEdit* edit = field.first;
    const bool casting = field.second;
    QObject::connect(edit, &QDateEdit::dateChanged, model,
                     [model, casting](const QDate& d) { model->setProjectDate(casting, d); });
    QObject::connect(edit, &QDateEdit::editingFinished, model, &DocumentModel::endTyping);
  }

  QComboBox* member = f.member;
  member->lineEdit()->setValidator(new StorableTextValidator(-1, member));
  // Enter in the edit part renames the member; the combo box must not treat
  // it as a choice of the entry with the same name.
  QObject::disconnect(member->lineEdit(), &QLineEdit::returnPressed, member, nullptr);
  QObject::connect(member->lineEdit(), &QLineEdit::returnPressed, member, [member, model] {
    const int index = model->doc().currentMember;
    const QString name = member->lineEdit()->text();
    if (index < 0 || !model->renameMember(name)) return;
    const QSignalBlocker block(member);
    member->setItemText(index, name);
    member->setCurrentIndex(index);
  });
  return f;
}

void ShowProjectTexts(const ProjectFields& f, const CKorvaneDoc& doc) {
  for (auto [edit, text] : {std::pair{f.site, &doc.project.site}, std::pair{f.unit, &doc.project.unit},
                            std::pair{f.person, &doc.project.person}}) {
    const QString value = FromUtf8(*text);
    if (edit->text() != value) edit->setText(value);
  }
  for (auto [edit, text] :
       {std::pair{f.castingDate, &doc.project.castingDate}, std::pair{f.testDate, &doc.project.testDate}}) {
    const QSignalBlocker block(edit);
    const std::optional<CivilDate> date = ParseDateText(*text);
    const QDate shown = date ? QDate(date->year, date->month, date->day) : QDate::currentDate();
    if (edit->date() != shown) edit->setDate(shown);
  }
}

QFormLayout* AddFormSection(QVBoxLayout* outer, QWidget* parent) {
  auto* box = new QGroupBox(parent);
  auto* form = new QFormLayout(box);
  form->setContentsMargins(6, 6, 6, 6);
  form->setHorizontalSpacing(6);
  form->setVerticalSpacing(4);
  form->setFieldGrowthPolicy(QFormLayout::AllNonFixedFieldsGrow);
  form->setLabelAlignment(Qt::AlignRight | Qt::AlignVCenter);
  outer->addWidget(box);
  return form;
}

}  // namespace korvane::gui
