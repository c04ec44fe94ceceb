#include "os/shell.h"

#include <cerrno>
#include <sys/types.h>
#include <sys/wait.h>
#include <unistd.h>

#include <string_view>
#include <vector>

extern char** environ;

namespace os {

namespace {

// Owned copies: GTK unsets variables in the process's own block after start-up,
// and the tools must still see what the user started the program with.
std::vector<std::string> keptStrings;
std::vector<char*> keptBlock; // empty when nothing was kept, else ends with nullptr

// xterm hands a one-word "-e" command to "$SHELL -c", and the names in every
// line are quoted for a POSIX shell: a login shell such as fish or tcsh would
// read them otherwise.
constexpr std::string_view kShellVariable = "SHELL=";
constexpr std::string_view kPosixShell = "SHELL=/bin/sh";

} // namespace

void KeepStartupEnvironment(char** envp)
{
    keptStrings.clear();
    keptBlock.clear();
    if (envp == nullptr)
        return; // forget the copy; shells then get the current environment
    for (char** entry = envp; *entry != nullptr; ++entry)
        keptStrings.emplace_back(*entry);
    for (std::string& entry : keptStrings)
        keptBlock.push_back(entry.data());
    keptBlock.push_back(nullptr);
}

int ShellRun(const std::string& commandLine)
{
    // Everything the child needs is built here: between fork and execve the
    // child must not allocate.
    std::string shell = "/bin/sh";
    std::string option = "-c";
    std::string line = commandLine;
    char* argv[] = {shell.data(), option.data(), line.data(), nullptr};
    std::string posixShell(kPosixShell);
    std::vector<char*> envp;
    bool replaced = false;
    for (char** entry = keptBlock.empty() ? environ : keptBlock.data(); *entry != nullptr; ++entry) {
        const bool isShell = std::string_view(*entry).starts_with(kShellVariable);
        envp.push_back(isShell ? posixShell.data() : *entry);
        replaced = replaced || isShell;
    }
    if (!replaced)
        envp.push_back(posixShell.data());
    envp.push_back(nullptr);

    const pid_t pid = ::fork();
    if (pid < 0)
        return -1;
    if (pid == 0) {
        ::execve(argv[0], argv, envp.data());
        // No exit handlers and no flushing of buffers the parent still owns.
        ::_exit(127);
    }

    int status = 0;
    while (::waitpid(pid, &status, 0) < 0) {
        if (errno != EINTR)
            return -1;
    }
    if (WIFEXITED(status))
        return WEXITSTATUS(status);
    return -status;
}

} // namespace os
