// SPDX-License-Identifier: GPL-3.0-or-later
#include "replacefile.h"

#include <cerrno>
#include <cstdlib>
#include <fcntl.h>
#include <sys/stat.h>
#include <unistd.h>

namespace tresdoc {

int WriteAll(int fd, std::string_view text)
{
    while (!text.empty()) {
        const ssize_t n = ::write(fd, text.data(), text.size());
        if (n < 0 && errno == EINTR) continue;
        if (n < 0) return errno;
        text.remove_prefix(static_cast<size_t>(n));
    }
    return 0;
}

int ReplaceFile(const std::string& path, const std::function<int(int fd, const std::string& tempPath)>& writeContent)
{
    std::string target = path;
    struct stat st { };
    if (::lstat(path.c_str(), &st) == 0 && S_ISLNK(st.st_mode)) {
        // Keep the link: write where it points.
        if (char* real = ::realpath(path.c_str(), nullptr)) {
            target = real;
            std::free(real);
        }
    }
    const size_t slash = target.rfind('/');
    const std::string dir = slash == std::string::npos ? "." : (slash == 0 ? "/" : target.substr(0, slash));

    std::string tmpl = target + ".XXXXXX";
    const int fd = ::mkostemp(tmpl.data(), O_CLOEXEC);
    if (fd < 0) return errno;

    int err = 0;
    mode_t mode;
    if (::stat(target.c_str(), &st) == 0) {
        mode = st.st_mode & 07777;
    } else {
        const mode_t mask = ::umask(0);
        ::umask(mask);
        mode = 0666 & ~mask;
    }
    ::fchmod(fd, mode);

    err = writeContent(fd, tmpl);
    if (err == 0 && ::fsync(fd) != 0) err = errno;
    if (::close(fd) != 0 && err == 0) err = errno;
    if (err == 0 && ::rename(tmpl.c_str(), target.c_str()) != 0) err = errno;
    if (err != 0) {
        ::unlink(tmpl.c_str());
        return err;
    }
    const int dfd = ::open(dir.c_str(), O_RDONLY | O_DIRECTORY | O_CLOEXEC);
    if (dfd >= 0) {
        ::fsync(dfd); // the rename itself reaches the disk
        ::close(dfd);
    }
    return 0;
}

int ReplaceFileWith(const std::string& path, std::string_view text)
{
    return ReplaceFile(path, [text](int fd, const std::string&) { return WriteAll(fd, text); });
}

int ReadFileWhole(const std::string& path, std::string& bytes)
{
    const int fd = ::open(path.c_str(), O_RDONLY | O_CLOEXEC);
    if (fd < 0) return errno;
    struct stat st { };
    if (::fstat(fd, &st) != 0 || S_ISDIR(st.st_mode)) {
        const int err = S_ISDIR(st.st_mode) ? EISDIR : errno;
        ::close(fd);
        return err;
    }
    std::string all;
    if (S_ISREG(st.st_mode)) all.reserve(static_cast<size_t>(st.st_size));
    char buffer[65536];
    for (;;) {
        const ssize_t n = ::read(fd, buffer, sizeof buffer);
        if (n == 0) break;
        if (n < 0) {
            if (errno == EINTR) continue;
            const int err = errno;
            ::close(fd);
            return err;
        }
        all.append(buffer, static_cast<size_t>(n));
    }
    ::close(fd);
    bytes = std::move(all);
    return 0;
}

} // namespace tresdoc
