#pragma once
// The phrase files (ric.txt and the user-defined files): reading them into the phrase list, and writing the
// favourite marks back into the item headers of a user-defined file.

#include "theory/phrase_list.h"

#include <QString>
#include <cstdint>

namespace orbel {

struct PhraseReadResult {
    std::int16_t count = 0; // items read
    QString error;          // what went wrong, for the message box; empty on success
};

// Replaces the list with the items of the phrase file at path (blanks around the path are ignored). An item
// that reaches 300 data lines ends the reading of the file there. Names and explanations are kept up to
// text_limits::MaxFieldChars characters; data lines whole, as the file's own limit allows. On an error the
// list is left empty, count is 0 and error names the file, the line and the reason.
PhraseReadResult ReadPhraseFile(PhraseList& list, const QString& path);

// Writes the favourite marks of the list back into the phrase file at path: the k-th item header whose mark
// differs from item k is rewritten to end in one "★" exactly when the item is a favourite. Every other byte
// (other lines, blanks around a header, the BOM, line ends) stays as it was; without a change nothing is
// written, otherwise the file is replaced in one step. False, with the file untouched, when it cannot be
// read, when a header cannot be written back in the file's encoding, or when the folder refuses the new file.
bool SaveFavourites(const PhraseList& list, const QString& path);

} // namespace orbel
