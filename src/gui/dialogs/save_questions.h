// The save dialog of a data file pair (text file and waveform file): x.SHT
// and x.SHA share x.SHD, so a save under some names would destroy the
// waveforms of another data file. Every command that writes a pair asks for
// its name here.
#pragma once

#include <QString>

#include "gui/prompter.h"

class QWidget;

namespace korvane::gui {

// Before a pair is written at `path`: when its waveform file is that of
// another existing data file, asks "<波形文件> 是 <其他文件> 的波形文件，保存
// <path> 会覆盖它……是否仍然保存？". Yes without asking when there is no such
// file; else the answer (Yes: overwrite, No: choose another name, Cancel:
// no save).
Prompter::Answer ConfirmSharedWaveform(Prompter& prompter, QWidget* parent, const QString& path);

// The save dialog over `filter`: proposes `initialPath`, or a free name
// (FreeSaveName) when a pair written there would overwrite another data
// file's waveform file. A name typed without extension gets `defaultSuffix`,
// or when that is empty the extension of the filter chosen. A name that
// would overwrite another data file's waveform file is asked about first:
// No opens the dialog again with a free name. Returns the path to write;
// empty when nothing is to be written (dialog or question cancelled).
QString AskDataFileSavePath(Prompter& prompter, QWidget* parent, const QString& initialPath,
                            const QString& filter, const QString& defaultSuffix = {});

}  // namespace korvane::gui
