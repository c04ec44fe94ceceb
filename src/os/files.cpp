#include "os/files.h"

#include <fcntl.h>
#include <sys/stat.h>
#include <unistd.h>

#include <cerrno>

#include "os/exceptions.h"

namespace os {

namespace {

constexpr const char* kSeparators = "/\\:";
constexpr std::size_t kMaxFileName = 255;

static_assert(sizeof(off_t) >= 8, "a DVD image's size needs 64-bit file offsets");

} // namespace

bool FileExists(const std::string& name)
{
    struct stat info;
    return ::stat(name.c_str(), &info) == 0;
}

bool DeleteFile(const std::string& name)
{
    return ::unlink(name.c_str()) == 0;
}

bool SetCurrentDir(const std::string& dir)
{
    if (dir.empty())
        return true;
    return ::chdir(dir.c_str()) == 0;
}

std::uint64_t FileSize(const std::string& name)
{
    // Opened rather than looked at, so that a file the user may not read is
    // refused here and not by the recorder halfway. Without blocking: a pipe
    // with no writer must not hold the window.
    int fd;
    do
        fd = ::open(name.c_str(), O_RDONLY | O_NONBLOCK);
    while (fd < 0 && errno == EINTR);
    if (fd < 0)
        throw EInOutError(IoErrorMessage(errno));
    struct stat info;
    int error = 0;
    off_t end = -1;
    if (::fstat(fd, &info) != 0)
        error = errno;
    else if (S_ISDIR(info.st_mode))
        error = EISDIR;
    else if ((end = ::lseek(fd, 0, SEEK_END)) < 0) // a device's size too, where st_size says 0
        error = errno;
    ::close(fd);
    if (error != 0)
        throw EInOutError(IoErrorMessage(error));
    return static_cast<std::uint64_t>(end);
}

std::string ExecutablePath()
{
    // Read whole: a program installed deep in a folder tree must still find
    // its own directory, not a shortened one that may belong to someone else.
    std::string target(256, '\0');
    for (;;) {
        const ssize_t got = ::readlink("/proc/self/exe", target.data(), target.size());
        if (got <= 0)
            return {};
        if (static_cast<std::size_t>(got) < target.size()) {
            target.resize(static_cast<std::size_t>(got));
            break;
        }
        target.resize(target.size() * 2); // may have been cut; try again
    }
    if (target.front() != '/')
        return {}; // not a path we could change into
    return target;
}

std::string ExtractFilePath(const std::string& path)
{
    const std::size_t last = path.find_last_of(kSeparators);
    if (last == std::string::npos)
        return {};
    return path.substr(0, last + 1);
}

std::string ExtractFileName(const std::string& path)
{
    const std::size_t last = path.find_last_of(kSeparators);
    if (last == std::string::npos)
        return path;
    return path.substr(last + 1, kMaxFileName);
}

std::string ExtractFileExt(const std::string& path)
{
    const std::size_t dot = path.rfind('.');
    const std::size_t last = path.find_last_of(kSeparators);
    if (dot == std::string::npos || (last != std::string::npos && last > dot))
        return {};
    return path.substr(dot);
}

} // namespace os
