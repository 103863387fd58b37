// SPDX-License-Identifier: GPL-3.0-or-later
// The tool's Qt commands draw with widgets, which need an application
// object; a batch run has no screen, so it gets the offscreen platform.
#pragma once

#include <QApplication>

#include <memory>

// A new offscreen QApplication, or nothing when the process has one already.
inline std::unique_ptr<QApplication> EnsureOffscreenApplication()
{
    if (QCoreApplication::instance()) return nullptr;
    static int argc = 3;
    static char arg0[] = "tresmon-tool";
    static char arg1[] = "-platform";
    static char arg2[] = "offscreen";
    static char* argv[] = {arg0, arg1, arg2, nullptr};
    return std::make_unique<QApplication>(argc, argv);
}
