#pragma once
// The operating-system version as a number such as 6.1 (the kernel's major.minor).

namespace orbel {

float CurrentOsVersion();
float ParseOsVersion(const char* text);

} // namespace orbel
