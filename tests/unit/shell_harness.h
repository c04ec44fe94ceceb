#pragma once

// Running composed lines through a real /bin/sh, the way the Shell runner
// does, and reading back what the called programs were given. The programs
// are stand-in scripts that write their own name and arguments, each ended by
// a NUL byte, so that a blank, a quote or a newline inside one argument can
// never be mistaken for a boundary between two.

#include <sys/stat.h>
#include <sys/types.h>
#include <sys/wait.h>
#include <unistd.h>

#include <cerrno>
#include <cstdlib>
#include <filesystem>
#include <fstream>
#include <iterator>
#include <optional>
#include <stdexcept>
#include <string>
#include <vector>

namespace shell_harness {

// A fresh directory under /tmp, removed with everything in it at the end.
// Its name holds only letters, digits, "/" and "-", so it can be written into
// a command line as it is.
class TempDir {
public:
    TempDir()
    {
        char name[] = "/tmp/tarvelin-test-XXXXXX";
        if (mkdtemp(name) == nullptr)
            throw std::runtime_error("mkdtemp failed");
        path_ = name;
    }
    ~TempDir()
    {
        std::error_code ignored;
        std::filesystem::remove_all(path_, ignored);
    }
    TempDir(const TempDir&) = delete;
    TempDir& operator=(const TempDir&) = delete;

    const std::string& path() const { return path_; }
    std::string operator/(const std::string& name) const { return path_ + "/" + name; }

private:
    std::string path_;
};

// fork, execve("/bin/sh", {"sh", "-c", line}), waitpid: what the program's
// Shell runner does, with the working directory and environment under the
// test's control. Returns the wait status, or -1 when the child could not be
// started or waited for.
inline int RunShell(const std::string& line, const std::string& workingDirectory,
                    const std::vector<std::string>& environment)
{
    // Everything the child touches is built before fork.
    std::vector<char*> argv{const_cast<char*>("sh"), const_cast<char*>("-c"),
                            const_cast<char*>(line.c_str()), nullptr};
    std::vector<char*> envp;
    for (const std::string& entry : environment)
        envp.push_back(const_cast<char*>(entry.c_str()));
    envp.push_back(nullptr);

    const pid_t pid = fork();
    if (pid < 0)
        return -1;
    if (pid == 0) {
        if (chdir(workingDirectory.c_str()) != 0)
            _exit(126);
        execve("/bin/sh", argv.data(), envp.data());
        _exit(127);
    }
    int status = 0;
    while (waitpid(pid, &status, 0) < 0) {
        if (errno != EINTR)
            return -1;
    }
    return status;
}

inline bool Exists(const std::string& path)
{
    struct stat info;
    return lstat(path.c_str(), &info) == 0;
}

// The NUL-ended words of a file, or nothing when the file is missing (the
// program that should have written it never ran). Bytes after the last NUL
// come back as a last word so that they show in a failure.
inline std::optional<std::vector<std::string>> ReadWords(const std::string& path)
{
    std::ifstream in(path, std::ios::binary);
    if (!in)
        return std::nullopt;
    const std::string content{std::istreambuf_iterator<char>(in), std::istreambuf_iterator<char>()};
    std::vector<std::string> words;
    std::string word;
    for (char c : content) {
        if (c == '\0') {
            words.push_back(word);
            word.clear();
        } else {
            word += c;
        }
    }
    if (!word.empty())
        words.push_back(word + "<no NUL at the end>");
    return words;
}

inline void WriteExecutable(const std::string& path, const std::string& text)
{
    {
        std::ofstream out(path, std::ios::binary | std::ios::trunc);
        out << text;
        if (!out)
            throw std::runtime_error("cannot write " + path);
    }
    if (chmod(path.c_str(), 0755) != 0)
        throw std::runtime_error("cannot make " + path + " executable");
}

} // namespace shell_harness
