// SPDX-License-Identifier: GPL-3.0-or-later
// "tresmon-tool render": a curve pane's picture of a survey file as a PNG.
//
//   render FILE -o OUT.png [--pane gradient|potential] [--size WIDTHxHEIGHT]
//
// The picture is the pane's own backing image for a client area of the given
// size (default potential pane, 800x400), as the pane leaves it right after
// the file was opened: metre window fitted, value axis in its first state.
// The PNG is WIDTH x HEIGHT pixels in backing-image coordinates (the plot's
// left edge at x = 35), which is the window picture without the 13-pixel
// scroll bar column.
#pragma once

// argv[0] is the first word after "render". Returns 0 on success, 1 for a
// usage error, 2 when the survey cannot be read or the PNG not written;
// messages go to standard error in German. Creates a QApplication on the
// offscreen platform when the process has none.
int RunRenderCommand(int argc, char** argv);
