#include "datafiles/catalogue_reader.h"

#include "datafiles/text_encoding.h"
#include "theory/sequence_text.h"

#include <QDir>
#include <algorithm>
#include <optional>
#include <string>
#include <string_view>

namespace orbel {

namespace {

static_assert(catalogue_limits::MaxEntries <= catalogue_limits::Slots);

// The line without the blanks and NULs around it, as CleanFixedText trims it, but without a copy: a line
// may be megabytes long and only a little of it is kept.
QStringView TrimFixed(QStringView line) {
    const auto isPad = [](QChar ch) { return ch == u' ' || ch == u'\0'; };
    while (!line.isEmpty() && isPad(line.front()))
        line = line.sliced(1);
    while (!line.isEmpty() && isPad(line.back()))
        line.chop(1);
    return line;
}

// A field as the catalogue keeps it: its first text_limits::MaxFieldChars characters in UTF-8, each NUL a
// blank as CleanFixedText makes it.
std::string KeptField(QStringView field) {
    // No character takes more than two UTF-16 units, so this holds every character kept; a pair cut at its
    // end lies past them.
    const auto units = static_cast<qsizetype>(2 * text_limits::MaxFieldChars);
    const QByteArray bytes = field.first(std::min(field.size(), units)).toUtf8();
    std::string kept =
        CutToCharacters(std::string_view(bytes.constData(), static_cast<std::size_t>(bytes.size())),
                        text_limits::MaxFieldChars);
    std::replace(kept.begin(), kept.end(), '\0', ' ');
    return kept;
}

std::int16_t ReadInto(const QString& programFolder, const char* fileName, CatalogueColumn& names,
                      CatalogueColumn& definitions, std::int16_t& count) {
    count =
        ReadCatalogueFile(QDir(programFolder).filePath(QString::fromLatin1(fileName)), names, definitions);
    return count;
}

} // namespace

std::int16_t ReadCatalogueFile(const QString& path, CatalogueColumn& names, CatalogueColumn& definitions) {
    const std::optional<DecodedText> file = ReadTextFile(path);
    if (!file) return 0;

    std::int16_t count = 0;
    for (const QStringView rawLine : LineViews(file->text)) {
        if (count >= catalogue_limits::MaxEntries) break;
        const QStringView line = TrimFixed(rawLine);
        if (line.isEmpty() || line.front() == u'#') continue;

        const qsizetype firstComma = line.indexOf(u',');
        // A line with no definition spoils the whole file: its study type lists nothing.
        if (firstComma < 0) return 0;
        const qsizetype secondComma = line.indexOf(u',', firstComma + 1);
        const qsizetype definitionEnd = secondComma < 0 ? line.size() : secondComma;

        names[count] = KeptField(line.first(firstComma));
        definitions[count] = KeptField(line.sliced(firstComma + 1, definitionEnd - firstComma - 1));
        ++count;
    }
    return count;
}

std::int16_t ReadScaleFile(Catalogue& catalogue, const QString& programFolder) {
    return ReadInto(programFolder, catalogue_files::Scales, catalogue.ScaleNames, catalogue.ScaleSteps,
                    catalogue.ScaleCount);
}

std::int16_t ReadChordFile(Catalogue& catalogue, const QString& programFolder) {
    return ReadInto(programFolder, catalogue_files::Chords, catalogue.ChordNames, catalogue.ChordSteps,
                    catalogue.ChordCount);
}

std::int16_t ReadPatternFile(Catalogue& catalogue, const QString& programFolder) {
    return ReadInto(programFolder, catalogue_files::Patterns, catalogue.PatternNames, catalogue.PatternDigits,
                    catalogue.PatternCount);
}

} // namespace orbel
