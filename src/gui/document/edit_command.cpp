#include "gui/document/edit_command.h"

#include "core/app/edit_snapshot.h"

namespace korvane::gui {

EditCommand::EditCommand(DocumentModel* model, const QString& text, const EditResult& made,
                         EditOperation redo, TypingField typing)
    : QUndoCommand(text),
      model_(model),
      before_(made.before),
      redo_(std::move(redo)),
      step_(made),
      typing_(typing) {
  step_.before.reset();
  step_.message.clear();
}

void EditCommand::undo() { model_->restoreStep(step_, *before_); }

void EditCommand::redo() {
  if (made_) {
    made_ = false;
    return;
  }
  model_->redoStep(step_, redo_);
}

bool EditCommand::mergeWith(const QUndoCommand* other) {
  const auto* next = dynamic_cast<const EditCommand*>(other);
  if (!model_->topTakesTyping() || next == nullptr || typing_ == TypingField::None ||
      next->typing_ != typing_)
    return false;
  // The state before the first keystroke stays; redo types the last text.
  redo_ = next->redo_;
  return true;
}

}  // namespace korvane::gui
