#pragma once
// Helpers shared by the sound tests.

#include "sound/midi_output.h"

#include <array>
#include <cstdlib>
#include <optional>
#include <string>
#include <vector>

namespace orbel::testing {

using Bytes = std::array<int, 3>;

inline std::vector<Bytes> Unpacked(const std::vector<ShortMessage>& messages) {
    std::vector<Bytes> result;
    for (ShortMessage m : messages)
        result.push_back({StatusOf(m), Data1Of(m), Data2Of(m)});
    return result;
}

// Sets (or, with nothing, removes) an environment variable for one test and restores it afterwards.
class ScopedEnv {
public:
    ScopedEnv(const char* name, const std::optional<std::string>& value) : name_(name) {
        if (const char* old = std::getenv(name)) old_ = old;
        if (value) {
            ::setenv(name, value->c_str(), 1);
        } else {
            ::unsetenv(name);
        }
    }
    ~ScopedEnv() {
        if (old_) {
            ::setenv(name_, old_->c_str(), 1);
        } else {
            ::unsetenv(name_);
        }
    }
    ScopedEnv(const ScopedEnv&) = delete;
    ScopedEnv& operator=(const ScopedEnv&) = delete;

private:
    const char* name_;
    std::optional<std::string> old_;
};

} // namespace orbel::testing
