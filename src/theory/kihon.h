#pragma once
// General helpers shared by every part of the program.

namespace orbel {

// Clamps value into [low, high] in place: below low becomes low, else above high becomes high.
template <typename T, typename L, typename H> void ClampValue(L low, H high, T& value) {
    if (value < static_cast<T>(low)) {
        value = static_cast<T>(low);
    } else if (value > static_cast<T>(high)) {
        value = static_cast<T>(high);
    }
}

} // namespace orbel
