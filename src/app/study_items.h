#pragma once
// The item list of a study type: reads the catalogue or phrase file that the
// study type draws from and gives the entries as the item list shows them.

#include "theory/catalogue.h"
#include "theory/phrase_list.h"
#include "theory/settings.h"

#include <QString>
#include <QStringList>

namespace orbel {

namespace study_files {
static constexpr const char* Phrases = "ric.txt";
} // namespace study_files

// What the study types read: the catalogue and the phrase list on show.
struct StudyData {
    Catalogue catalogue;
    PhraseList phrases;
    // The file the phrase list came from; empty for the catalogue study types.
    QString phraseFile;
};

struct StudyItems {
    QStringList entries;       // one per item, each ending in one blank
    QStringList messages;      // for the user, in the order they arose
    bool fromUserFile = false; // the phrase list came from the user-defined file
};

// The text shown when the user-defined file named in the settings is gone.
QString UserFileMissingMessage(const QString& path);

// Reads the file of studyType from programFolder (the user-defined file for
// type 4, or ric.txt in its place when it is gone) and lists its items.
StudyItems LoadStudyItems(int studyType, const Settings& settings, const QString& programFolder,
                          StudyData& data);

} // namespace orbel
