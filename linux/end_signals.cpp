#include "linux/end_signals.h"

#include <fcntl.h>
#include <unistd.h>

#include <cerrno>
#include <csignal>

namespace {

volatile std::sig_atomic_t EndSignal = 0;
int WakePipe[2] = {-1, -1};

void OnEndSignal(int) {
    EndSignal = 1;
    if (WakePipe[1] >= 0) {
        const int saved = errno;
        const ssize_t written = write(WakePipe[1], "", 1);
        (void)written;  // a full pipe already wakes the wait
        errno = saved;
    }
}

}  // namespace

void CatchEndSignals() {
    if (WakePipe[0] < 0 && pipe2(WakePipe, O_NONBLOCK | O_CLOEXEC) != 0) WakePipe[0] = WakePipe[1] = -1;
    struct sigaction action = {};
    action.sa_handler = OnEndSignal;
    sigemptyset(&action.sa_mask);
    sigaction(SIGTERM, &action, nullptr);
    sigaction(SIGINT, &action, nullptr);
}

bool EndSignalled() { return EndSignal != 0; }

int EndSignalFd() { return WakePipe[0]; }
