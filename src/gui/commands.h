// Command identifiers of the menus and toolbars. Every QAction of the frame
// carries its identifier (QAction::data) so that handlers, update rules and
// tests name commands the same way.
#pragma once

namespace korvane::gui::cmd {

// Main screen.
inline constexpr int kOpen = 57601;
inline constexpr int kSave = 32828;
inline constexpr int kSaveAs = 32827;
inline constexpr int kMerge = 32805;
inline constexpr int kExportRawToExcel = 32845;
inline constexpr int kRecentFile1 = 57616;  // up to four entries follow
inline constexpr int kExit = 32840;
inline constexpr int kTestParameters = 32775;
inline constexpr int kPreviousZone = 32776;
inline constexpr int kNextZone = 32777;
inline constexpr int kToolBar = 59392;
inline constexpr int kInfoBar = 32835;
inline constexpr int kStatusBar = 59393;
inline constexpr int kOutput = 32779;
inline constexpr int kFilter = 32781;
inline constexpr int kAbout = 57664;

// Analysis screen.
inline constexpr int kOpenAnalysis = 32806;
inline constexpr int kSaveResults = 32797;
inline constexpr int kPrintSetup = 57606;
inline constexpr int kPrintPreview = 57609;
inline constexpr int kPrint = 57607;
inline constexpr int kExitAnalysis = 32841;
inline constexpr int kAngleTable = 32810;
inline constexpr int kSurfaceTable = 32811;
inline constexpr int kCarbonationTable = 32812;
inline constexpr int kBackToMain = 32796;
inline constexpr int kAnalysisBar = 32838;
inline constexpr int kWord = 32808;
inline constexpr int kBmp = 32809;
inline constexpr int kExcel = 32830;
// "输出到PDF": the reports as a PDF file (beside the Word command).
inline constexpr int kPdf = 32850;
inline constexpr int kHelpContents = 32793;
inline constexpr int kContactUs = 32794;
inline constexpr int kAboutAnalysis = 32795;

inline constexpr int kRecentFileCount = 4;

}  // namespace korvane::gui::cmd
