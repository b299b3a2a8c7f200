// One step of the undo history: an edit of the document with the snapshot
// taken before it. Undo restores the snapshot; redo calls the editing
// operation again (the step is made before it is recorded, so the first
// redo, which QUndoStack::push runs, does nothing).
#pragma once

#include <QUndoCommand>
#include <memory>

#include "gui/document/document_model.h"

namespace korvane::gui {

class EditCommand : public QUndoCommand {
 public:
  // `made`: the result of the edit as it was made (with its snapshot).
  EditCommand(DocumentModel* model, const QString& text, const EditResult& made, EditOperation redo,
              TypingField typing);

  void undo() override;
  void redo() override;
  // Typing in one field merges (see TypingField) while the model says the
  // typing goes on; -1 otherwise.
  int id() const override { return static_cast<int>(typing_); }
  bool mergeWith(const QUndoCommand* other) override;

 private:
  DocumentModel* model_;
  std::shared_ptr<const EditSnapshot> before_;
  EditOperation redo_;
  // Scope, member, zone and point of the edit (without its snapshot).
  EditResult step_;
  TypingField typing_;
  bool made_ = true;
};

}  // namespace korvane::gui
