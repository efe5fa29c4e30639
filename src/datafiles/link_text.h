#pragma once
// Finding lead-sheet links in pasted text or an HTML page, and taking off the encodings the page (entities)
// and the link (percent escapes) put on them.

#include <QString>
#include <QStringView>
#include <vector>

namespace orbel {

struct FoundLink {
    QString fields;         // what follows the link's scheme, decoded: the tunes' fields joined by "="
    bool scrambled = false; // the newer form, whose charts are scrambled
    QString error;          // why the link cannot be decoded (it was cut short in an escape), or ""
};

// Every link in text, in order. A link in a quoted attribute ends at its quote; one in plain text at the end
// of its line, a quote or an end tag, so that a plain link may hold blanks and texts in "<…>".
std::vector<FoundLink> FindLeadSheetLinks(QStringView text);

} // namespace orbel
