// SPDX-License-Identifier: GPL-3.0-or-later
// A main window over a fresh survey for each test function, with the
// dialogs answered by a scripted seam and a folder for the test's files.
// Test classes derive from it beside QObject and call InitFrame() and
// CleanupFrame() from their init() and cleanup() slots.
#pragma once

#include "mainframe.h"
#include "tredoc.h"
#include "tresapp.h"
#include "uiseam.h"

#include <QSettings>
#include <QTemporaryDir>
#include <QTest>

#include <memory>

template <typename Seam> class CFrameFixture {
protected:
    std::unique_ptr<CTreDoc> m_doc;
    std::unique_ptr<CMainFrame> m_frame;
    Seam m_seam;
    QTemporaryDir m_files;

    // The window, made and shown on first use.
    CMainFrame& Frame()
    {
        if (!m_frame) {
            m_frame = std::make_unique<CMainFrame>(*m_doc, CTresApp::Get()->FrameSetup());
            m_frame->show();
            if (!QTest::qWaitForWindowExposed(m_frame.get())) qWarning("window not exposed");
        }
        return *m_frame;
    }
    void InitFrame()
    {
        CTresApp::Settings()->clear();
        m_seam = Seam();
        CUiSeam::Install(&m_seam);
        m_doc = std::make_unique<CTreDoc>();
    }
    // Closes the window without asking to save.
    void CloseFrame()
    {
        if (!m_frame) return;
        m_doc->SetModifiedFlag(false);
        m_frame->close();
        m_frame.reset();
    }
    void CleanupFrame()
    {
        CloseFrame();
        m_doc.reset();
        CUiSeam::Install(nullptr);
    }
};

// main() of a GUI test: the program's settings in a folder of the test's
// own, so no test reads or clears the user's, on the offscreen platform.
#define TRES_GUI_TEST_MAIN(TestClass)                                                                                  \
    int main(int argc, char** argv)                                                                                    \
    {                                                                                                                  \
        QTemporaryDir config;                                                                                          \
        qputenv("XDG_CONFIG_HOME", config.path().toLocal8Bit());                                                       \
        qputenv("QT_QPA_PLATFORM", "offscreen");                                                                       \
        CTresApp app(argc, argv);                                                                                      \
        TestClass test;                                                                                                \
        return QTest::qExec(&test, argc, argv);                                                                        \
    }
