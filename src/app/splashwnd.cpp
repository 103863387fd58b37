// SPDX-License-Identifier: GPL-3.0-or-later
#include "splashwnd.h"

#include "tresversion.h"
#include "ui/artwork.h"

#include <QApplication>
#include <QEvent>
#include <QPainter>
#include <QPointer>
#include <QScreen>
#include <QTimer>

namespace {
QPointer<CSplashWnd> g_pSplash;
bool g_bShown = false;
} // namespace

void CSplashWnd::ShowSplashScreen(QWidget* mainWindow, bool enabled)
{
    if (!enabled || g_bShown) return;
    g_bShown = true;
    g_pSplash = new CSplashWnd(mainWindow);
    g_pSplash->show();
    g_pSplash->raise();
}

CSplashWnd* CSplashWnd::Current() { return g_pSplash.data(); }

CSplashWnd::CSplashWnd(QWidget* mainWindow)
    : QWidget(nullptr, Qt::SplashScreen | Qt::FramelessWindowHint | Qt::WindowStaysOnTopHint)
    , m_picture(artwork::SplashPicture())
    , m_pMainWindow(mainWindow)
{
    setAttribute(Qt::WA_DeleteOnClose);
    setFixedSize(m_picture.size());
    if (QScreen* screen = QGuiApplication::primaryScreen()) {
        const QRect s = screen->geometry();
        move(s.x() + (s.width() - width()) / 2, s.y() + (s.height() - height()) / 2);
    }
    qApp->installEventFilter(this);
    QTimer::singleShot(4000, this, &CSplashWnd::Hide);
}

CSplashWnd::~CSplashWnd() { qApp->removeEventFilter(this); }

void CSplashWnd::Hide()
{
    qApp->removeEventFilter(this);
    close();
    if (m_pMainWindow) m_pMainWindow->update();
}

void CSplashWnd::paintEvent(QPaintEvent*)
{
    QPainter p(this);
    p.drawPixmap(0, 0, m_picture);
    QFont font(QStringLiteral("Arial"));
    font.setPixelSize(20);
    font.setWeight(QFont::Bold);
    p.setFont(font);
    p.setPen(Qt::black);
    // (338, 215) is the top left corner of the text, as text output places it.
    const QFontMetrics fm(font);
    p.drawText(338, 215 + fm.ascent(), QStringLiteral("Version " TRES_VERSION));
}

bool CSplashWnd::eventFilter(QObject* watched, QEvent* event)
{
    switch (event->type()) {
    case QEvent::KeyPress:
    case QEvent::MouseButtonPress:
    case QEvent::NonClientAreaMouseButtonPress: Hide(); return true; // the key or click only closes the splash
    default: break;
    }
    return QWidget::eventFilter(watched, event);
}
