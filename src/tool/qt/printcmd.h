// SPDX-License-Identifier: GPL-3.0-or-later
// "tresmon-tool print": a survey's graphic or table print as a PDF file.
//
//   print --graphic|--table FILE -o OUT.pdf [--scale N] [--start M] [--end M]
//         [--errors] [--no-qm] [--max-pages N]
//
// The document's own print settings are used; the options override only
// what they name: --scale, --start and --end the graphic print's scale and
// range, --errors switches the table print to the error list ("Fehlerliste
// drucken"), --no-qm leaves out the QM line. Absent start and end become the
// first and last metre and an end below 20 becomes 20, as the program's
// print commands set them. The pages are A4, landscape for the graphic
// print and portrait for the table print, drawn by the same code the
// program prints with; "plot.bmp" and "tabelle.bmp" in the current folder
// are the logos, as they are for the program. A print of more than
// kPageLimit pages (1000), or of more than --max-pages N, is refused as a
// usage error before any file is written.
#pragma once

// argv[0] is the first word after "print". Returns 0 on success, 1 for a
// usage error, 2 when the survey cannot be read or the PDF not written;
// messages go to standard error in German. Creates a QApplication on the
// offscreen platform when the process has none.
int RunPrintCommand(int argc, char** argv);
