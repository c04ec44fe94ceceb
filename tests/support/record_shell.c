/* Preloaded into the program under test: every execve of /bin/sh appends the
 * line after "-c" to $TARVELIN_SHELL_LOG, each line closed by a NUL byte, then
 * the real execve runs. It runs in the child between fork and exec, so it uses
 * plain system calls only. */
#define _GNU_SOURCE
#include <dlfcn.h>
#include <fcntl.h>
#include <stdlib.h>
#include <string.h>
#include <unistd.h>

typedef int (*execve_fn)(const char*, char* const[], char* const[]);

int execve(const char* path, char* const argv[], char* const envp[])
{
    const char* log = getenv("TARVELIN_SHELL_LOG");
    if (log && strcmp(path, "/bin/sh") == 0 && argv[0] && argv[1] && strcmp(argv[1], "-c") == 0 && argv[2]) {
        int fd = open(log, O_WRONLY | O_CREAT | O_APPEND, 0644);
        if (fd >= 0) {
            ssize_t ignored = write(fd, argv[2], strlen(argv[2]) + 1);
            (void)ignored;
            close(fd);
        }
    }
    execve_fn real = (execve_fn)dlsym(RTLD_NEXT, "execve");
    return real(path, argv, envp);
}
