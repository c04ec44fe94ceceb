#include "os/files.h"

#include <sys/stat.h>
#include <unistd.h>

namespace os {

namespace {

constexpr const char* kSeparators = "/\\:";
constexpr std::size_t kMaxFileName = 255;

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

} // namespace os
