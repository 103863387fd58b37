// SPDX-License-Identifier: GPL-3.0-or-later
// The status bar's button for the file the window has just written (a
// report, an export, a printed PDF): opens it with the desktop's program.
// It names the file, so it still says what it opens once the status bar
// shows something else.
#pragma once

#include <QToolButton>

class COpenFileButton : public QToolButton {
    Q_OBJECT
public:
    explicit COpenFileButton(QWidget* parent);

    // Shows the button for `file` ("Öffnen: strecke.pdf").
    void SetFile(const QString& file);
    QString File() const { return m_strFile; }
    // Opens the file through the program's seam; a file gone since, or one
    // no program opens, is said in a message.
    void Open();

private:
    QString m_strFile;
};
