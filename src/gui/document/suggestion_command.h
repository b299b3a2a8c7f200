// "自动判读首波" and "自动判读首波（全部测区）": the suggested first arrivals of
// the current zone (or every zone of the current member) are shown beside
// the stored ones while the user is asked; accepted, they are applied as one
// step of the history.
#pragma once

#include "core/app/document_edits.h"

class QWidget;

namespace korvane::gui {

class DocumentModel;
class Prompter;

// `panel`: how the arrivals are applied (the screen shown: arrival and
// amplitude on the main screen's panels, the arrival in the analysis view).
void RunArrivalSuggestion(DocumentModel& model, Prompter& prompter, QWidget* parent, bool allZones,
                          PickPanel panel);

}  // namespace korvane::gui
