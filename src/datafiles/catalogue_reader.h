#pragma once
// Readers of the three catalogue files beside the program: scale.txt (scales), code.txt (chords) and ptn.txt
// (II–V–I digit patterns). Each line is "name,definition"; lines starting with "#" and empty lines are
// comments. The files are read again whenever the item list is rebuilt, so edits show at the next change of
// study type.

#include "theory/catalogue.h"

#include <QString>
#include <cstdint>

namespace orbel {

namespace catalogue_files {
static constexpr const char* Scales = "scale.txt";
static constexpr const char* Chords = "code.txt";
static constexpr const char* Patterns = "ptn.txt";
} // namespace catalogue_files

// Reads up to 20 data lines of the file at path into names and definitions (entry i from the i-th data line)
// and returns how many were read. Each line is cleaned as CleanFixedText cleans it; the name is the text
// before the first comma and the definition the text between the first and the second comma, neither
// trimmed further, each kept up to text_limits::MaxFieldChars characters.
// A missing or unreadable file, or a data line without a comma, gives 0 without a message; entries stored
// before such a line stay in the columns but are not counted. Entries past the count are never cleared.
std::int16_t ReadCatalogueFile(const QString& path, CatalogueColumn& names, CatalogueColumn& definitions);

// scale.txt into ScaleNames/ScaleSteps; the result is also kept in ScaleCount.
std::int16_t ReadScaleFile(Catalogue& catalogue, const QString& programFolder);
// code.txt into ChordNames/ChordSteps; the result is also kept in ChordCount.
std::int16_t ReadChordFile(Catalogue& catalogue, const QString& programFolder);
// ptn.txt into PatternNames/PatternDigits; the result is also kept in PatternCount.
std::int16_t ReadPatternFile(Catalogue& catalogue, const QString& programFolder);

} // namespace orbel
