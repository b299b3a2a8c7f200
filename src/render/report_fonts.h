// Fonts of the printed reports. The reports request their faces by their
// Windows names ("Arial", "Times New Roman", "宋体", "黑体", "隶书",
// "仿宋_GB2312", "楷体_GB2312"); where those are not installed (Linux), the
// metric-compatible Liberation faces and the Chinese faces AR PL UMing (Song),
// AR PL UKai (Kai) and WenQuanYi Zen Hei (Hei) stand in, and Chinese
// characters in a Latin face fall back to the Song face. The Chinese stand-ins
// are chosen so that the text of a PDF page extracts as the characters drawn.
#pragma once

#include <QFont>
#include <QString>
#include <QStringList>

namespace korvane::render {

// Registers the substitutions with QFont once per process (safe to call
// again). Needs a QGuiApplication.
void InstallReportFontSubstitutions();

// Families to try for a face, the face itself first, then its stand-ins.
QStringList ReportFontFamilies(const QString& face);

// Font for a report text whose height is given as the Windows character-cell
// height in device pixels (ascent + descent of the face). The em size is
// derived from it: Latin faces have a cell of about 1.117 em, the Chinese
// report faces a cell of 1 em. Normal weight. A height below 1 gives 1.
QFont ReportFont(const QString& face, int cellHeightPx);

}  // namespace korvane::render
