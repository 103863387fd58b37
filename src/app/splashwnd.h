// SPDX-License-Identifier: GPL-3.0-or-later
// The splash window: the program's picture with its version for four
// seconds, or until the user presses a key or a mouse button anywhere.
#pragma once

#include <QPixmap>
#include <QPointer>
#include <QWidget>

class CSplashWnd : public QWidget {
    Q_OBJECT
public:
    // Shows the splash once per run; does nothing when it was shown before
    // or `enabled` is false.
    static void ShowSplashScreen(QWidget* mainWindow, bool enabled);
    static CSplashWnd* Current();

protected:
    void paintEvent(QPaintEvent* event) override;
    bool eventFilter(QObject* watched, QEvent* event) override;

private:
    explicit CSplashWnd(QWidget* mainWindow);
    ~CSplashWnd() override;
    void Hide();

    QPixmap m_picture;
    QPointer<QWidget> m_pMainWindow;
};
