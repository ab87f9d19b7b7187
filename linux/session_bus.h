// The idle service's one connection to the session bus (GIO's GDBus): its
// signals, method calls and replies are delivered in a main context of the
// service's own, whose descriptors join the service's one poll, so that
// waiting on the bus costs nothing while nothing comes.
#pragma once

#include <poll.h>

#include <string>

struct _GDBusConnection;
struct _GMainContext;

struct SessionBus {
    _GDBusConnection* Bus = nullptr;
    _GMainContext* Context = nullptr;  // the thread's default while the bus is open
    int Priority = 0;                  // of the main-context pass under way
};

// Connects and makes the bus's context the thread's default, so that every
// subscription, owned name and call made later delivers there. False, with
// `error` set, when there is no session bus.
bool OpenSessionBus(SessionBus& bus, std::string* error);

void CloseSessionBus(SessionBus& bus);

// The main-context pass around the poll: Prepare fills `fds` (up to `room`)
// and lowers `*timeoutMs` (-1: none) to what the context needs; Dispatch
// hands the poll's results back and runs what is due.
int PrepareSessionBus(SessionBus& bus, pollfd* fds, int room, int* timeoutMs);
void DispatchSessionBus(SessionBus& bus, const pollfd* fds, int count);

// Whether a name has an owner on the bus (a quick synchronous question).
bool SessionBusNameHasOwner(SessionBus& bus, const char* name);
