#pragma once
// Lead-sheet links as chord-chart apps share them, pasted as text or inside an exported HTML page, read into
// the tune model. The older form is plain ("…://Title=Composer=Style=Key=n=chart"); the newer one is
// percent-encoded, its chart scrambled, and may hold a whole playlist in one link (tunes joined by "===",
// the playlist's name last). A broken tune is named in the error and the others are kept; the work is
// bounded and linear in the text, so that a page of hundreds of tunes reads at once.

#include "theory/tune.h"

#include <QString>
#include <QStringView>
#include <vector>

namespace orbel {

namespace lead_sheet_limits {
// A playlist page of a thousand and more tunes is well under a megabyte.
static constexpr qint64 MaxFileBytes = 16 * 1024 * 1024;
// Tunes read from one text; a larger collection is refused past this many, with a word.
static constexpr int MaxTunes = 5000;
// A chart of MaxBars bars is tens of thousands of characters; a longer one is no chart.
static constexpr qsizetype MaxChartChars = 256 * 1024;
// Broken tunes named one by one in the error; the rest are counted.
static constexpr int MostNamedFailures = 10;
} // namespace lead_sheet_limits

struct LeadSheetLinks {
    std::vector<Tune> tunes; // in the order of the text
    QString playlistName;    // the name a playlist link gives itself, or ""
    QString
        error; // why a tune, or the whole text, was not read, a line for each; empty when nothing was lost
};

// Every lead-sheet link in text: one link, several, or a whole HTML page with its entities.
LeadSheetLinks ParseLeadSheetLinks(QStringView text);

// The links in the .html or .txt file at path (UTF-8, or CP932 as the program's other text files).
LeadSheetLinks ReadLeadSheetFile(const QString& path);

} // namespace orbel
