#pragma once

#include <string>

namespace os {

// Keeps a copy of the environment the program was started with, so that every
// shell gets that block even after the toolkit has edited its own. A null
// block drops the copy, and shells get the current environment again.
void KeepStartupEnvironment(char** envp);

// Runs one command line through "/bin/sh -c" and waits for the shell to end.
// The shell gets the kept environment (or the current one) with SHELL set to
// /bin/sh, so that a terminal it starts runs its command in that shell too.
// Returns the exit code, the raw wait status negated when a signal ended the
// shell, or -1 when no child could be created or waited for.
int ShellRun(const std::string& commandLine);

} // namespace os
