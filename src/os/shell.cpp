#include "os/shell.h"

#include <cerrno>
#include <sys/types.h>
#include <sys/wait.h>
#include <unistd.h>

#include <vector>

extern char** environ;

namespace os {

namespace {

// Owned copies: GTK unsets variables in the process's own block after start-up,
// and the tools must still see what the user started the program with.
std::vector<std::string> keptStrings;
std::vector<char*> keptBlock; // empty when nothing was kept, else ends with nullptr

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
    char** envp = keptBlock.empty() ? environ : keptBlock.data();

    const pid_t pid = ::fork();
    if (pid < 0)
        return -1;
    if (pid == 0) {
        ::execve(argv[0], argv, envp);
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
