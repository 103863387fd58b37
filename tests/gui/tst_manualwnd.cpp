// SPDX-License-Identifier: GPL-3.0-or-later
// The manual's window: Ctrl+F finds words in it, forwards, backwards and
// round the end, says when a word is not there, and Esc closes it.
#include "manualwnd.h"

#include <QApplication>
#include <QFile>
#include <QLabel>
#include <QLineEdit>
#include <QTemporaryDir>
#include <QTest>
#include <QTextBrowser>

class TestManualWnd : public QObject {
    Q_OBJECT
private slots:
    void findBarAndEscape();
};

void TestManualWnd::findBarAndEscape()
{
    QTemporaryDir dir;
    const QString page = dir.filePath(QStringLiteral("tresmon.html"));
    QFile f(page);
    QVERIFY(f.open(QIODevice::WriteOnly));
    f.write("<html><body><h1>BESCHREIBUNG</h1><p>Der Schieber bei 120 m.</p>"
            "<p>Ein zweiter Schieber bei 480 m.</p></body></html>");
    f.close();
    CManualWnd wnd(page, nullptr);
    wnd.show();
    QVERIFY(QTest::qWaitForWindowExposed(&wnd));
    wnd.activateWindow();
    QTRY_VERIFY(wnd.isActiveWindow());

    QTest::keyClick(&wnd, Qt::Key_F, Qt::ControlModifier);
    QTRY_COMPARE(QApplication::focusWidget(), static_cast<QWidget*>(wnd.FindField()));
    QTest::keyClicks(wnd.FindField(), QStringLiteral("schieber"));
    const auto place = [&] { return wnd.Browser()->textCursor(); };
    QCOMPARE(place().selectedText(), QStringLiteral("Schieber"));
    const int first = place().selectionStart();
    QTest::keyClick(wnd.FindField(), Qt::Key_Return);
    const int second = place().selectionStart();
    QVERIFY(second > first);
    // Round the end to the first again; Shift+Enter goes back.
    QTest::keyClick(wnd.FindField(), Qt::Key_Return);
    QCOMPARE(place().selectionStart(), first);
    QTest::keyClick(wnd.FindField(), Qt::Key_Return, Qt::ShiftModifier);
    QCOMPARE(place().selectionStart(), second);
    QVERIFY(wnd.FindState()->text().isEmpty());

    QTest::keyClicks(wnd.FindField(), QStringLiteral("xq"));
    QCOMPARE(wnd.FindState()->text(), QStringLiteral("nicht gefunden"));

    QTest::keyClick(wnd.FindField(), Qt::Key_Escape);
    QVERIFY(!wnd.isVisible());
}

QTEST_MAIN(TestManualWnd)
#include "tst_manualwnd.moc"
