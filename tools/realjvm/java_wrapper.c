/* bin\java.exe of the runtime home: runs the Linux java launcher of the
 * same runtime with this process's arguments, passes its standard output
 * and error on to this process's Windows standard handles, and ends with
 * its exit code. A launcher's "-version" probe thus reads the real VM's
 * own version lines. Wine hands a Windows child only its standard input
 * and output as Unix descriptors, so the output is copied through pipes. */
#include <poll.h>
#include <signal.h>
#include <spawn.h>
#include <stdarg.h>
#include <sys/wait.h>
#include <unistd.h>
#include <windef.h>
#include <winbase.h>

extern char **environ;

static const char linux_java[] = LINUX_JAVA_HOME "/bin/java";

struct stream {
    int fd;
    DWORD handle_id;
};

static void spawn_actions(posix_spawn_file_actions_t *actions, int out[2], int err[2])
{
    posix_spawn_file_actions_init(actions);
    posix_spawn_file_actions_addopen(actions, 0, "/dev/null", 0, 0);
    posix_spawn_file_actions_adddup2(actions, out[1], 1);
    posix_spawn_file_actions_adddup2(actions, err[1], 2);
    posix_spawn_file_actions_addclose(actions, out[0]);
    posix_spawn_file_actions_addclose(actions, err[0]);
}

/* Wine blocks and handles signals of its own; the child starts clean. */
static void spawn_attributes(posix_spawnattr_t *attributes)
{
    sigset_t none, all;
    sigemptyset(&none);
    sigfillset(&all);
    posix_spawnattr_init(attributes);
    posix_spawnattr_setsigmask(attributes, &none);
    posix_spawnattr_setsigdefault(attributes, &all);
    posix_spawnattr_setflags(attributes, POSIX_SPAWN_SETSIGMASK | POSIX_SPAWN_SETSIGDEF);
}

/* Copies one chunk; returns 0 at the end of the stream. */
static int copy_chunk(const struct stream *stream)
{
    char buffer[4096];
    DWORD written;
    ssize_t length = read(stream->fd, buffer, sizeof buffer);
    if (length <= 0)
        return 0;
    WriteFile(GetStdHandle(stream->handle_id), buffer, (DWORD)length, &written, NULL);
    return 1;
}

static void copy_until_closed(struct stream streams[2])
{
    struct pollfd polled[2] = { { streams[0].fd, POLLIN, 0 }, { streams[1].fd, POLLIN, 0 } };
    int open_streams = 2;
    while (open_streams > 0 && poll(polled, 2, -1) >= 0) {
        for (int i = 0; i < 2; i++) {
            if (polled[i].fd >= 0 && polled[i].revents && !copy_chunk(&streams[i])) {
                polled[i].fd = -1;
                open_streams--;
            }
        }
    }
}

static int exit_code_of(pid_t child)
{
    int status;
    if (waitpid(child, &status, 0) < 0)
        return 1;
    return WIFEXITED(status) ? WEXITSTATUS(status) : 128 + WTERMSIG(status);
}

int main(int argc, char **argv)
{
    int out[2], err[2];
    pid_t child;
    posix_spawn_file_actions_t actions;
    posix_spawnattr_t attributes;
    (void)argc;
    if (pipe(out) != 0 || pipe(err) != 0)
        return 1;
    spawn_actions(&actions, out, err);
    spawn_attributes(&attributes);
    argv[0] = (char *)linux_java;
    if (posix_spawn(&child, linux_java, &actions, &attributes, argv, environ) != 0)
        return 1;
    close(out[1]);
    close(err[1]);
    struct stream streams[2] = { { out[0], STD_OUTPUT_HANDLE }, { err[0], STD_ERROR_HANDLE } };
    copy_until_closed(streams);
    return exit_code_of(child);
}
