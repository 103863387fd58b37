// SPDX-License-Identifier: LGPL-2.1-or-later
#include "sidefile.h"

#include <cerrno>
#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <fcntl.h>
#include <sys/stat.h>
#include <unistd.h>

namespace vlnk {
namespace {

// The umask as the kernel reports it: setting it to read it back would change
// it for a moment for every thread of the caller's process.
mode_t CurrentUmask()
{
    if (std::FILE* status = std::fopen("/proc/self/status", "re")) {
        char line[128];
        while (std::fgets(line, sizeof line, status)) {
            if (std::strncmp(line, "Umask:", 6) != 0) continue;
            std::fclose(status);
            return static_cast<mode_t>(std::strtoul(line + 6, nullptr, 8) & 0777);
        }
        std::fclose(status);
    }
    return 022;
}

} // namespace

mode_t ReplacementMode(const std::string& target)
{
    struct stat st { };
    if (stat(target.c_str(), &st) == 0) return st.st_mode & 07777;
    return 0666 & ~CurrentUmask();
}

int CreateSideFile(const std::string& target, std::string& path)
{
    std::string name = target + ".XXXXXX";
    // mkostemp creates with O_EXCL: a name taken by a file or a link fails and
    // the next one is tried.
    const int fd = mkostemp(name.data(), O_CLOEXEC);
    if (fd < 0) return -1;
    if (fchmod(fd, ReplacementMode(target)) != 0) {
        const int error = errno;
        close(fd);
        unlink(name.c_str());
        errno = error;
        return -1;
    }
    path = name;
    return fd;
}

int CommitSideFile(int fd, const std::string& path, const std::string& target)
{
    int error = 0;
    if (fsync(fd) != 0) error = errno;
    if (close(fd) != 0 && error == 0) error = errno;
    if (error == 0 && std::rename(path.c_str(), target.c_str()) != 0) error = errno;
    if (error != 0) unlink(path.c_str());
    return error;
}

int OpenRegularForRead(const std::string& path)
{
    const int fd = open(path.c_str(), O_RDONLY | O_NONBLOCK | O_NOCTTY | O_CLOEXEC);
    if (fd < 0) return -1;
    struct stat st { };
    if (fstat(fd, &st) != 0 || !S_ISREG(st.st_mode)) {
        close(fd);
        errno = EINVAL;
        return -1;
    }
    return fd;
}

bool RegularOrAbsent(const std::string& path)
{
    struct stat st { };
    if (stat(path.c_str(), &st) == 0) return S_ISREG(st.st_mode);
    return errno == ENOENT;
}

} // namespace vlnk
