// SPDX-License-Identifier: GPL-3.0-or-later
// Tresmon's own pictures, drawn in code: the splash picture, the program
// icon and the toolbar symbols.
#pragma once

#include <QIcon>
#include <QPixmap>

namespace artwork {

// The splash picture without its version text (480 x 270).
QPixmap SplashPicture();
// The program icon: a pipe with a potential curve above it.
QIcon ProgramIcon();

enum class EToolIcon { New, Open, Save, Cut, Copy, Paste, PrintSetup, PrintTable, PrintGraphic, Transfer, Undo, Redo };
// 18 x 15 toolbar symbols.
QIcon ToolIcon(EToolIcon which);

} // namespace artwork
