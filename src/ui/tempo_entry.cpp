#include "ui/tempo_entry.h"

#include "ui/control_panel.h"

#include <algorithm>
#include <optional>

namespace orbel {

namespace {

// Larger than any tempo, so that a long run of digits saturates instead of overflowing.
static constexpr int Saturated = 100000;

bool IsBlank(QChar ch) {
    return ch.isSpace() || ch == u'\u3000';
}

std::optional<int> DigitValue(QChar ch) {
    if (ch >= u'0' && ch <= u'9') return ch.unicode() - u'0';
    if (ch >= u'０' && ch <= u'９') return ch.unicode() - u'０';
    return std::nullopt;
}

} // namespace

int TypedTempo(const QString& text, int playing) {
    qsizetype first = 0;
    qsizetype end = text.size();
    while (first < end && IsBlank(text.at(first)))
        ++first;
    while (end > first && IsBlank(text.at(end - 1)))
        --end;

    bool negative = false;
    if (first < end) {
        const QChar sign = text.at(first);
        if (sign == u'-' || sign == u'－') {
            negative = true;
            ++first;
        } else if (sign == u'+' || sign == u'＋') {
            ++first;
        }
    }
    if (first == end) return playing;

    int number = 0;
    for (qsizetype i = first; i < end; ++i) {
        const std::optional<int> digit = DigitValue(text.at(i));
        if (!digit) return playing;
        number = std::min(number * 10 + *digit, Saturated);
    }
    if (negative) number = -number;
    return std::clamp(number, tempo_range::Slowest, tempo_range::Fastest);
}

} // namespace orbel
