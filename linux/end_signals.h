// SIGTERM and SIGINT end a Linux program's run at its next pass; a wait
// between frames must wake for them at once, even when one arrives just
// before the wait begins or lands in another of the process's threads.
#pragma once

// Installs the handlers (and the pipe they write a byte to).
void CatchEndSignals();
// Whether one of them has arrived.
bool EndSignalled();
// A descriptor that becomes readable when one arrives, for the wait's poll;
// -1 when the pipe could not be made (the signal then only interrupts the
// wait).
int EndSignalFd();
