#pragma once
// What a sequence build reports to its caller. The builders never show anything themselves: a build that
// refuses its item hands back the text for the window (or orbel-export) to show, and leaves the sequence
// empty.

#include <optional>
#include <string>
#include <string_view>

namespace orbel {

namespace build_messages {
// Shown for a study item whose definition the builder cannot turn into notes.
static constexpr std::string_view FaultyData = "ファイルの内容が変です。修正してください";
} // namespace build_messages

// Empty when the build went through; otherwise the message to show.
using BuildMessage = std::optional<std::string>;

inline BuildMessage FaultyDataMessage() {
    return std::string(build_messages::FaultyData);
}

} // namespace orbel
