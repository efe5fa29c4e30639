#include "datafiles/chart_unscramble.h"

#include <array>
#include <utility>

namespace orbel {

namespace {

// Within a block, the character at each of these places trades places with its mirror (49 − i); the rest
// stay where they are.
static constexpr std::array<std::pair<int, int>, 2> MirroredRuns = {{{0, 5}, {10, 24}}};

struct ShortForm {
    std::u16string_view written;
    std::u16string_view meant;
};
// In this order: a later form never appears inside what an earlier one stands for.
static constexpr std::array<ShortForm, 3> ShortForms = {{
    {u"XyQ", u"   "},
    {u"LZ", u" |"},
    {u"Kcl", u"| x"},
}};

} // namespace

QString UnscrambleChart(QStringView body) {
    QString text;
    text.reserve(body.size());
    qsizetype at = 0;
    while (body.size() - at > chart_scramble::BlockChars) {
        QString block = body.sliced(at, chart_scramble::BlockChars).toString();
        at += chart_scramble::BlockChars;
        // A block followed by fewer than two characters was left as it was.
        if (body.size() - at >= 2) {
            for (const auto& [first, end] : MirroredRuns) {
                for (int i = first; i < end; ++i)
                    std::swap(block[i], block[chart_scramble::BlockChars - 1 - i]);
            }
        }
        text += block;
    }
    text += body.sliced(at);
    return text;
}

QString ExpandShortForms(QString chart) {
    for (const ShortForm& form : ShortForms)
        chart.replace(QString::fromUtf16(form.written.data(), static_cast<qsizetype>(form.written.size())),
                      QString::fromUtf16(form.meant.data(), static_cast<qsizetype>(form.meant.size())));
    return chart;
}

} // namespace orbel
