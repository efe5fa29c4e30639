#include "datafiles/catalogue_reader.h"

#include "datafiles/text_encoding.h"
#include "theory/kihon.h"

#include <QDir>
#include <optional>
#include <string>

namespace orbel {

namespace {

static_assert(catalogue_limits::MaxEntries <= catalogue_limits::Slots);

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
    for (const QString& rawLine : SplitLines(file->text)) {
        if (count >= catalogue_limits::MaxEntries) break;
        const std::string line = CleanFixedText(rawLine.toStdString());
        if (line.empty() || line.front() == '#') continue;

        const std::size_t firstComma = line.find(',');
        // A line with no definition spoils the whole file: its study type lists nothing.
        if (firstComma == std::string::npos) return 0;
        const std::size_t secondComma = line.find(',', firstComma + 1);
        const std::size_t definitionEnd = secondComma == std::string::npos ? line.size() : secondComma;

        names[count] = line.substr(0, firstComma);
        definitions[count] = line.substr(firstComma + 1, definitionEnd - firstComma - 1);
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
