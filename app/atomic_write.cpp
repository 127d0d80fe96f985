// Whole-file writes through a temporary file renamed over the target.
#include "app/atomic_write.h"

#include <cerrno>
#include <csignal>
#include <cstdio>
#include <cstring>
#include <fcntl.h>
#include <sys/stat.h>
#include <unistd.h>

namespace corvelle::app {

namespace {

WriteOutcome failure(const char* step, int error)
{
    return {false, std::string(step) + ": " + std::strerror(error)};
}

// Writes all bytes, resuming after short writes and interrupted calls.
bool writeAll(int fd, const std::string& bytes)
{
    std::size_t done = 0;
    while (done < bytes.size()) {
        ssize_t written = ::write(fd, bytes.data() + done, bytes.size() - done);
        if (written < 0) {
            if (errno == EINTR)
                continue;
            return false;
        }
        done += static_cast<std::size_t>(written);
    }
    return true;
}

}  // namespace

WriteOutcome replaceFileContent(const std::string& path, const std::string& bytes)
{
    if (path.empty())
        return {false, "empty path"};
    std::string temporary = path + ".XXXXXX";
    int fd = ::mkstemp(temporary.data());
    if (fd < 0)
        return failure("create", errno);

    // Keep the permissions an existing file had; a new file gets the usual rw-r--r-- under the umask.
    struct stat existing {};
    mode_t mode = 0666;
    if (::stat(path.c_str(), &existing) == 0) {
        mode = existing.st_mode & 07777;
    } else {
        mode_t mask = ::umask(0);
        ::umask(mask);
        mode &= ~mask;
    }
    ::fchmod(fd, mode);

    // A write beyond the file-size limit raises SIGXFSZ, which would end the program; see it as an error.
    struct sigaction ignore {};
    struct sigaction previous {};
    ignore.sa_handler = SIG_IGN;
    ::sigaction(SIGXFSZ, &ignore, &previous);
    bool written = writeAll(fd, bytes);
    int writeError = errno;
    ::sigaction(SIGXFSZ, &previous, nullptr);

    if (!written) {
        ::close(fd);
        ::unlink(temporary.c_str());
        return failure("write", writeError);
    }
    if (::fsync(fd) != 0 && errno != EINVAL) {
        int error = errno;
        ::close(fd);
        ::unlink(temporary.c_str());
        return failure("sync", error);
    }
    if (::close(fd) != 0) {
        int error = errno;
        ::unlink(temporary.c_str());
        return failure("close", error);
    }
    if (::rename(temporary.c_str(), path.c_str()) != 0) {
        int error = errno;
        ::unlink(temporary.c_str());
        return failure("rename", error);
    }
    return {true, {}};
}

}  // namespace corvelle::app
