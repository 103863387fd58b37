// SPDX-License-Identifier: GPL-3.0-or-later
// A user's file rights for root: while a CUserRights lives, the calling
// thread (and only it) is refused what a plain user is refused, so that a
// test of a refused write proves its message on the machines that run the
// suite as root, too.
//
// Credentials on Linux belong to a thread; the raw system calls change only
// the caller's (glibc's wrappers would change every thread of the process).
// The thread gives up, from its effective set, the capabilities that pass over
// file permissions, and takes an unprivileged real user, whom access() asks
// about. Both come back at the end, since the permitted set and the effective
// and saved user stay root.
#pragma once

#include <cerrno>
#include <cstring>
#include <linux/capability.h>
#include <string>
#include <sys/syscall.h>
#include <unistd.h>

class CUserRights {
public:
    CUserRights()
    {
        if (geteuid() != 0) return; // a user has no more rights than these
        if (syscall(SYS_capget, &m_header, m_saved) != 0) {
            m_error = std::string("capget: ") + std::strerror(errno);
            return;
        }
        __user_cap_data_struct lowered[2];
        std::memcpy(lowered, m_saved, sizeof lowered);
        for (int cap : {CAP_DAC_OVERRIDE, CAP_DAC_READ_SEARCH, CAP_FOWNER})
            lowered[cap / 32].effective &= ~(1u << (cap % 32));
        if (syscall(SYS_setresuid, kNobody, -1, -1) != 0) {
            m_error = std::string("setresuid: ") + std::strerror(errno);
            return;
        }
        m_bUidChanged = true;
        if (syscall(SYS_capset, &m_header, lowered) != 0) {
            m_error = std::string("capset: ") + std::strerror(errno);
            return;
        }
        m_bCapsLowered = true;
    }
    ~CUserRights()
    {
        if (m_bCapsLowered) syscall(SYS_capset, &m_header, m_saved);
        if (m_bUidChanged) syscall(SYS_setresuid, 0, -1, -1);
    }
    CUserRights(const CUserRights&) = delete;
    CUserRights& operator=(const CUserRights&) = delete;

    // Empty when the thread now has a user's rights.
    const std::string& Error() const { return m_error; }

private:
    static constexpr long kNobody = 65534;
    __user_cap_header_struct m_header{_LINUX_CAPABILITY_VERSION_3, 0};
    __user_cap_data_struct m_saved[2]{};
    bool m_bUidChanged = false;
    bool m_bCapsLowered = false;
    std::string m_error;
};
