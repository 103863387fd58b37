// SPDX-License-Identifier: GPL-3.0-or-later
// A test that needs a program scripts/install-deps.sh installs (pdftotext,
// ogrinfo, gpsbabel, update-mime-database, the German locale) skips where it
// is missing, and CTest reports it skipped. In CI (CI=true), where that
// script ran, the program's absence is a fault of the machine and fails the
// test instead of letting it pass untested.
#pragma once

#include <cstdlib>
#include <cstring>

inline bool MissingToolFails()
{
    const char* ci = std::getenv("CI");
    return ci && std::strcmp(ci, "true") == 0;
}

// QtTest: inside a test function, as QSKIP.
#define TRES_QSKIP_MISSING(why)                                                                                        \
    do {                                                                                                               \
        if (MissingToolFails()) QFAIL("CI=true: " why);                                                                \
        QSKIP(why);                                                                                                    \
    } while (false)

// GoogleTest: inside a test, as GTEST_SKIP().
#define TRES_GTEST_SKIP_MISSING(why)                                                                                   \
    do {                                                                                                               \
        if (MissingToolFails()) FAIL() << "CI=true: " << (why);                                                        \
        GTEST_SKIP() << (why);                                                                                         \
    } while (false)
