#include "datafiles/lead_sheet_marks.h"

#include "theory/sequence_text.h"

#include <algorithm>
#include <string_view>

namespace orbel {

namespace {

// Words of a jump or a mark are short; only their start is looked at.
static constexpr qsizetype MostWordsChars = 40;

// Lower-case letters only: "D.S. al Coda" and "D. S. al coda" read alike.
std::string Letters(QStringView text) {
    std::string letters;
    for (const QChar ch : text.first(std::min(text.size(), MostWordsChars))) {
        const char16_t lower = ch.toLower().unicode();
        if (lower >= u'a' && lower <= u'z') letters += static_cast<char>(lower);
    }
    return letters;
}

} // namespace

std::string KeptText(QStringView text) {
    return CutToCharacters(text.toString().simplified().toStdString(), tune_limits::MaxTextChars);
}

void ReadJumpWords(QStringView words, TuneBar& bar, CodaMarks& marks) {
    const std::string letters = Letters(words);
    const auto startsWith = [&](std::string_view prefix) { return letters.starts_with(prefix); };
    if (startsWith("dacapo") || letters == "dc" || startsWith("dcal")) bar.jump = TuneBar::Jump::DaCapo;
    if (startsWith("dalsegno") || letters == "ds" || startsWith("dsal")) bar.jump = TuneBar::Jump::DalSegno;
    if (letters == "fine") bar.fine = true;
    if (startsWith("tocoda")) marks.toCoda = true;
    if (letters == "coda") marks.codaStart = true;
}

void ApplyCodaMarks(const CodaMarks& marks, TuneBar& bar) {
    bar.toCoda = bar.toCoda || marks.toCoda;
    bar.codaMark = bar.codaMark || marks.codaStart || (marks.codaSign && !bar.toCoda);
}

void ResolveCodaSigns(std::vector<TuneBar>& bars) {
    if (std::any_of(bars.begin(), bars.end(), [](const TuneBar& b) { return b.toCoda; })) return;
    const auto first = std::find_if(bars.begin(), bars.end(), [](const TuneBar& b) { return b.codaMark; });
    if (first == bars.end()) return;
    if (std::any_of(first + 1, bars.end(), [](const TuneBar& b) { return b.codaMark; })) {
        first->codaMark = false;
        first->toCoda = true;
    }
}

QString TooLargeRefusal(const QString& what, qint64 maxBytes) {
    return QStringLiteral("%1 is larger than %2 MB; a lead sheet is far smaller.")
        .arg(what)
        .arg(maxBytes / (1024 * 1024));
}

QString LeadSheetFileRefusal(const QString& path, ReadFailure failure, qint64 maxBytes) {
    switch (failure) {
    case ReadFailure::Missing:
        return QStringLiteral("The file %1 was not found.").arg(path);
    case ReadFailure::NotRegularFile:
        return QStringLiteral("%1 is not a file that can be read.").arg(path);
    case ReadFailure::TooLarge:
        return TooLargeRefusal(QStringLiteral("The file %1").arg(path), maxBytes);
    case ReadFailure::Unreadable:
        break;
    }
    return QStringLiteral("The file %1 cannot be read.").arg(path);
}

} // namespace orbel
