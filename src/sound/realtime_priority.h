#pragma once
// Real-time scheduling for a thread that must not be kept waiting (the audio callback, the player), the way
// desktop audio programs get it: directly when the process may (RLIMIT_RTPRIO), else from RealtimeKit over
// the system D-Bus. Without either the thread simply keeps its normal priority.
// Thread: the thread to be raised, or whoever starts it.

#include <string>
#include <sys/types.h>

namespace orbel {

namespace realtime {
// Low among real-time threads: above the desktop, below the sound server's own.
static constexpr int AudioPriority = 10;
static constexpr int PlayerPriority = 9;
} // namespace realtime

// Asks for round-robin real-time scheduling at `priority` (1-99, lowered to what is allowed) for the
// calling thread. True when granted; otherwise why, in words a user can read, in *why when given.
bool RequestRealtimePriority(int priority, std::string* why = nullptr);

// The same for another thread of this process, named by its kernel thread id (gettid()).
bool RequestRealtimePriorityFor(pid_t thread, int priority, std::string* why = nullptr);

} // namespace orbel
