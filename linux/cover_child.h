// The drawing program of one cover, run as a child of the idle service, so
// that the waiting service never loads GL and a crash in the drawing ends
// that cover only. The child is this same program, started afresh: it reads
// the settings file as it is at that moment.
#pragma once

#include <poll.h>
#include <sys/types.h>

#include <cstdint>
#include <string>
#include <vector>

struct CoverChild {
    pid_t Pid = -1;                // -1: none running
    int ExitFd = -1;               // readable when it has ended (a pidfd), or -1
    std::int64_t Started = 0;      // microseconds, monotonic
    std::int64_t TermSentAt = -1;  // when it was asked to end
};

// The drawing program for a cover: this program (`self`, its path) run
// with the service's own arguments less --idle and its number, and
// `cover` (the arguments that make it a cover) in front of them.
std::vector<std::string> CoverCommandFor(const std::string& self, int argc, const char* const* argv,
                                         const std::vector<std::string>& cover);

// Starts `args` (args[0] the program's path) with the service's environment
// and the default signal handling. False, with `error` set, when it cannot
// be started.
bool StartCoverChild(CoverChild& child, const std::vector<std::string>& args, std::int64_t now,
                     std::string* error);

// Asks it to end (SIGTERM), once.
void EndCoverChild(CoverChild& child, std::int64_t now);

// Whether it has ended; then `*status` is its wait status and the child is
// none again. Does not block.
bool CoverChildEnded(CoverChild& child, int* status);

// Ends it and waits: SIGTERM, then SIGKILL after `graceMicros`.
void StopCoverChild(CoverChild& child, std::int64_t graceMicros);

// Its descriptor for the poll (none: 0 entries, and then the caller polls
// again within `*timeoutMs`, lowered to 100 ms).
int PrepareCoverChild(const CoverChild& child, pollfd* fds, int room, int* timeoutMs);

// How a wait status reads in the log: "ended", "exited with 3", "was killed
// by signal 9 (Killed)", "crashed with signal 11 (Segmentation fault)".
std::string DescribeCoverEnd(int status);

// Whether a wait status is a cover ending as it should (exit code 0, or the
// SIGTERM the service sent).
bool CoverEndedWell(int status, bool termSent);
