#pragma once
// The chart notation of lead-sheet links read into the tune model's bars. A chart is a row of cells: each
// chord, slash, N.C. and blank takes one cell, and bar lines, marks and texts stand between cells. A bar's
// chords share its beats by the cells they stand on.

#include "theory/tune.h"

#include <QString>
#include <QStringView>
#include <vector>

namespace orbel {

struct ChartBars {
    std::vector<TuneBar> bars;
    int timeTop = 4; // the time signature of the first bar, over 4
    QString error; // why the chart was not read, "bar 3: …", in a sentence; empty exactly when bars are there
};

// The bars of chart notation (plain, as the older link form writes it, or unscrambled and written out).
// Refuses a symbol it does not know, a chord symbol that is not one, a time signature the tune model has no
// place for, more than tune_limits::MaxBars bars and more than tune_limits::MaxChordsPerBar chords (or more
// chords than beats) in a bar.
ChartBars ReadChartNotation(QStringView chart);

} // namespace orbel
