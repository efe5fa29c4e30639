#include "views/keyboard_layout.h"

#include "theory/numbers.h"
#include "theory/spelling.h"

namespace orbel {

namespace {

constexpr double WidthFactor = 1.62;
constexpr int Bottom = 100;
constexpr double BlackLeft = 0.6;
constexpr double BlackRight = 0.3;

} // namespace

KeyTable BuildKeyTable(double frame2Left) {
    KeyTable keys{};
    const double width = frame2Left / keyboard::KeyCount * WidthFactor;
    int whites = 0;
    for (int k = 1; k <= keyboard::KeyCount; ++k) {
        KeyRect& key = keys[static_cast<std::size_t>(k)];
        if (!IsBlackKey(k + keyboard::LowestPitch - 1)) {
            ++whites;
            key = {RoundHalfEven(whites * width), Bottom, RoundHalfEven((whites + 1) * width),
                   keyboard::KeyHeight + Bottom - 2, true};
        } else {
            key = {RoundHalfEven(whites * width + BlackLeft * width), 2 * keyboard::KeyHeight / 5 + Bottom,
                   RoundHalfEven((whites + 1) * width + BlackRight * width), keyboard::KeyHeight + Bottom - 2,
                   false};
        }
    }
    return keys;
}

std::optional<int> KeyOfPitch(int pitch) {
    const int key = pitch - keyboard::LowestPitch + 1;
    if (key < 1 || key > keyboard::KeyCount) return std::nullopt;
    return key;
}

std::optional<int> KeyAt(const KeyTable& keys, double x, double y) {
    for (const bool white : {false, true}) {
        for (int k = 1; k <= keyboard::KeyCount; ++k) {
            const KeyRect& r = keys[static_cast<std::size_t>(k)];
            if (r.white == white && r.left < x && x < r.right && r.bottom < y && y < r.top) return k;
        }
    }
    return std::nullopt;
}

std::array<bool, keyboard::Marks> MarkedKeys(const PlaySequence& seq, bool entryDisplay) {
    std::array<bool, keyboard::Marks> marks{};
    if (!entryDisplay) return marks;
    for (int i = 0; i < seq.SeqCount; ++i) {
        const auto at = static_cast<std::size_t>(i);
        if (seq.SeqRest[at] == 1) continue;
        const int key = seq.SeqPitch[at] + 12 * seq.OctaveShift - keyboard::LowestPitch + 1;
        if (key >= 0 && key < keyboard::Marks) marks[static_cast<std::size_t>(key)] = true;
    }
    return marks;
}

} // namespace orbel
