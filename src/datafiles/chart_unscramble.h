#pragma once
// The chart of the newer lead-sheet link form is scrambled: its characters are moved about in blocks of fifty
// and its most common runs are written short. This unit undoes both, so that the chart reads as the plain
// chart notation of the older link form.

#include <QString>
#include <QStringView>
#include <string_view>

namespace orbel {

namespace chart_scramble {
// Every scrambled chart starts with this mark; the scrambled text follows it.
static constexpr std::u16string_view Mark = u"1r34LbKcu7";
// The characters are moved within blocks of this many.
static constexpr qsizetype BlockChars = 50;
} // namespace chart_scramble

// The text of body (the chart after its mark) put back in order. A text that was not scrambled comes out
// scrambled: the caller tells by whether the result reads as chart notation.
QString UnscrambleChart(QStringView body);

// Chart notation with the short forms of the newer link form written out: "XyQ" is three blank cells, "LZ"
// a blank and a bar line, "Kcl" a bar line before a repeated bar.
QString ExpandShortForms(QString chart);

} // namespace orbel
