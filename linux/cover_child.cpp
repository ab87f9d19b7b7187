#include "linux/cover_child.h"

#include <signal.h>
#include <spawn.h>
#include <sys/syscall.h>
#include <sys/wait.h>
#include <unistd.h>

#include <cctype>
#include <cerrno>
#include <cstring>

#include "linux/frame_pacer.h"

extern char** environ;

namespace {

int OpenPidFd(pid_t pid) {
#ifdef SYS_pidfd_open
    const long fd = syscall(SYS_pidfd_open, pid, 0);
    return fd >= 0 ? static_cast<int>(fd) : -1;
#else
    (void)pid;
    return -1;
#endif
}

void Forget(CoverChild& child) {
    if (child.ExitFd >= 0) close(child.ExitFd);
    child = CoverChild{};
}

}  // namespace

std::vector<std::string> CoverCommandFor(const std::string& self, int argc, const char* const* argv,
                                         const std::vector<std::string>& cover) {
    std::vector<std::string> command{self};
    command.insert(command.end(), cover.begin(), cover.end());
    for (int i = 1; i < argc; ++i) {
        const std::string arg = argv[i];
        if (arg == "--idle" || arg == "-idle") {
            // Its number, when one follows.
            if (i + 1 < argc && (std::isdigit(static_cast<unsigned char>(argv[i + 1][0])) ||
                                 (argv[i + 1][0] == '-' && std::isdigit(static_cast<unsigned char>(argv[i + 1][1])))))
                ++i;
            continue;
        }
        bool given = false;
        for (const std::string& c : cover) given = given || c == arg;
        if (!given) command.push_back(arg);
    }
    return command;
}

bool StartCoverChild(CoverChild& child, const std::vector<std::string>& args, std::int64_t now,
                     std::string* error) {
    std::vector<char*> argv;
    for (const std::string& arg : args) argv.push_back(const_cast<char*>(arg.c_str()));
    argv.push_back(nullptr);
    // The service catches SIGTERM and SIGINT; the child starts with the
    // defaults and nothing blocked.
    posix_spawnattr_t attributes;
    posix_spawnattr_init(&attributes);
    sigset_t none;
    sigset_t defaults;
    sigemptyset(&none);
    sigemptyset(&defaults);
    sigaddset(&defaults, SIGTERM);
    sigaddset(&defaults, SIGINT);
    sigaddset(&defaults, SIGPIPE);
    posix_spawnattr_setsigmask(&attributes, &none);
    posix_spawnattr_setsigdefault(&attributes, &defaults);
    posix_spawnattr_setflags(&attributes, POSIX_SPAWN_SETSIGMASK | POSIX_SPAWN_SETSIGDEF);
    pid_t pid = -1;
    const int failed = posix_spawn(&pid, argv[0], nullptr, &attributes, argv.data(), environ);
    posix_spawnattr_destroy(&attributes);
    if (failed != 0) {
        *error = "cannot start " + args[0] + ": " + std::strerror(failed);
        return false;
    }
    child.Pid = pid;
    child.ExitFd = OpenPidFd(pid);
    child.Started = now;
    child.TermSentAt = -1;
    return true;
}

void EndCoverChild(CoverChild& child, std::int64_t now) {
    if (child.Pid <= 0 || child.TermSentAt >= 0) return;
    kill(child.Pid, SIGTERM);
    child.TermSentAt = now;
}

bool CoverChildEnded(CoverChild& child, int* status) {
    if (child.Pid <= 0) return false;
    int waited = 0;
    pid_t got;
    do {
        got = waitpid(child.Pid, &waited, WNOHANG);
    } while (got < 0 && errno == EINTR);
    if (got == 0) return false;
    // Gone without a status (reaped elsewhere): taken as killed.
    *status = got == child.Pid ? waited : SIGKILL;
    Forget(child);
    return true;
}

void StopCoverChild(CoverChild& child, std::int64_t graceMicros) {
    if (child.Pid <= 0) return;
    EndCoverChild(child, PacerNow());
    const std::int64_t deadline = PacerNow() + graceMicros;
    int status = 0;
    while (!CoverChildEnded(child, &status)) {
        if (PacerNow() >= deadline) {
            kill(child.Pid, SIGKILL);
            while (waitpid(child.Pid, &status, 0) < 0 && errno == EINTR) {
            }
            Forget(child);
            return;
        }
        usleep(5000);
    }
}

int PrepareCoverChild(const CoverChild& child, pollfd* fds, int room, int* timeoutMs) {
    if (child.Pid <= 0 || room < 1) return 0;
    if (child.ExitFd >= 0) {
        fds[0] = pollfd{child.ExitFd, POLLIN, 0};
        return 1;
    }
    if (*timeoutMs < 0 || *timeoutMs > 100) *timeoutMs = 100;
    return 0;
}

std::string DescribeCoverEnd(int status) {
    if (WIFEXITED(status))
        return WEXITSTATUS(status) == 0 ? "ended" : "exited with " + std::to_string(WEXITSTATUS(status));
    if (WIFSIGNALED(status)) {
        const int signal = WTERMSIG(status);
        const bool crashed = signal == SIGSEGV || signal == SIGBUS || signal == SIGILL || signal == SIGFPE ||
                             signal == SIGABRT || signal == SIGTRAP || signal == SIGSYS;
        return std::string(crashed ? "crashed with signal " : "was killed by signal ") + std::to_string(signal) +
               " (" + strsignal(signal) + ")" + (WCOREDUMP(status) ? ", core dumped" : "");
    }
    return "ended with status " + std::to_string(status);
}

bool CoverEndedWell(int status, bool termSent) {
    if (WIFEXITED(status)) return WEXITSTATUS(status) == 0;
    return termSent && WIFSIGNALED(status) && WTERMSIG(status) == SIGTERM;
}
