#pragma once
// The plain millisecond wait: the window stays responsive while it waits.

namespace orbel {

// Returns once at least ms milliseconds have passed on the monotonic clock, handling pending window events
// all the while. Sleeps in steps of at most a millisecond, so waiting costs little processor time. A
// non-positive ms returns at once after handling pending events.
void WaitMs(int ms);

} // namespace orbel
