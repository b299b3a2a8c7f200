#include "gui/document/suggestion_command.h"

#include "core/app/arrival_suggestion.h"
#include "core/app/edit_names.h"
#include "gui/document/document_model.h"
#include "gui/prompter.h"
#include "gui/widgets/wait_cursor.h"

namespace korvane::gui {

void RunArrivalSuggestion(DocumentModel& model, Prompter& prompter, QWidget* parent, bool allZones,
                          PickPanel panel) {
  CKorvaneDoc& doc = model.doc();
  if (const std::string refusal = SuggestionCommandRefusal(doc); !refusal.empty()) {
    prompter.message(parent, FromUtf8(refusal));
    return;
  }
  const int member = doc.currentMember;
  ArrivalSuggestion suggestion;
  {
    const WaitCursor wait;
    suggestion = SuggestArrivals(doc, member, allZones ? -1 : doc.currentZone);
  }
  const SuggestionPrompt prompt = SuggestionPromptOf(doc, suggestion);
  const std::vector<ArrivalChange> changes = suggestion.changes;
  // The proposed lines stand beside the stored ones while the user reads.
  model.showSuggestion(std::move(suggestion));
  bool accepted = false;
  if (prompt.ask) {
    accepted = prompter.acceptSuggestion(parent, FromUtf8(prompt.text));
  } else {
    prompter.message(parent, FromUtf8(prompt.text));
  }
  model.clearSuggestion();
  if (!accepted) return;
  model.edit(allZones ? edit_name::kSuggestedMember : edit_name::kSuggestedZone,
             [=](CKorvaneDoc& d) { return SetArrivals(d, member, changes, panel); });
}

}  // namespace korvane::gui
