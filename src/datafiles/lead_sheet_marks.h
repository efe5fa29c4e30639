#pragma once
// What lead sheets say in words and signs about the play order, shared by every reader that fills the tune
// model: the words of a jump ("D.S. al Coda", "Fine", "To Coda"), the coda sign that stands both where the
// jump is taken and where the coda starts, text cut to what the tune keeps, and a file refused in words.

#include "datafiles/bounded_read.h"
#include "theory/tune.h"

#include <QString>
#include <QStringView>
#include <string>
#include <vector>

namespace orbel {

// What a bar's words and signs say about the coda, gathered before they are judged: only the words beside a
// coda sign tell whether the jump is taken there or the coda starts there.
struct CodaMarks {
    bool codaSign = false;
    bool toCoda = false;
    bool codaStart = false;
};

// Text as the tune keeps it: blanks simplified, at most tune_limits::MaxTextChars characters.
std::string KeptText(QStringView text);

// Reads the words of a jump or a mark into bar (D.C., D.S., Fine) and marks (To Coda, Coda); any other words
// change nothing. Spelling, case, dots and blanks do not matter: "D. S. al coda" reads as "D.S. al Coda".
void ReadJumpWords(QStringView words, TuneBar& bar, CodaMarks& marks);

// Puts the coda marks gathered for a bar on it: a sign without "To Coda" beside it marks the coda's start.
void ApplyCodaMarks(const CodaMarks& marks, TuneBar& bar);

// Without a "To Coda" anywhere, the first of two coda signs is where the jump is taken.
void ResolveCodaSigns(std::vector<TuneBar>& bars);

// "… is larger than 16 MB; a lead sheet is far smaller.", what naming the file or text.
QString TooLargeRefusal(const QString& what, qint64 maxBytes);

// Why the lead-sheet file at path was not read.
QString LeadSheetFileRefusal(const QString& path, ReadFailure failure, qint64 maxBytes);

} // namespace orbel
