#pragma once
// How busy the machine's processors are, as the kernel's pressure stall information tells it: the share of
// the last ten seconds in which some task was ready to run but waited for a processor. A sound server's
// thread that waits like that is what runs a short queue dry.
// Thread: the synthesizer's worker thread, between performances.

#include <optional>

namespace orbel {

// Per cent, 0 to 100; nothing where the kernel does not keep the figure.
std::optional<double> CpuPressureLastTenSeconds();

} // namespace orbel
