#include "app/study_items.h"

#include "app/settings_file.h"
#include "datafiles/catalogue_reader.h"
#include "datafiles/narrow_text.h"
#include "datafiles/phrase_file.h"
#include "theory/display_text.h"
#include "theory/prepare_build.h"

#include <QFileInfo>

namespace orbel {

namespace {

const QString Star = QStringLiteral("★");

// A name as the list shows it.
QString Shown(const std::string& name) {
    return QString::fromStdString(DisplayLine(name));
}

QStringList ListColumn(const CatalogueColumn& names, int count, bool narrow) {
    QStringList entries;
    for (int i = 0; i < count; ++i) {
        const QString name = Shown(names[static_cast<std::size_t>(i)]);
        entries << (narrow ? NarrowText(name) : name) + QLatin1Char(' ');
    }
    return entries;
}

// False when the reader refused the file (its message is among the items' messages).
bool ListPhrases(const QString& path, StudyData& data, StudyItems& items) {
    const PhraseReadResult read = ReadPhraseFile(data.phrases, path);
    data.phraseFile = path;
    if (!read.error.isEmpty()) items.messages << read.error;
    for (int i = 0; i < read.count; ++i) {
        QString name = Shown(data.phrases.PhraseNames[static_cast<std::size_t>(i)]);
        name.remove(Star);
        items.entries << NarrowText(name) + QLatin1Char(' ');
    }
    return read.error.isEmpty();
}

} // namespace

QString UserFileMissingMessage(const QString& path) {
    return path + QStringLiteral(" がありません。メニュー＞ユーザ定義ファイル読み込みを行ってください");
}

StudyItems LoadStudyItems(int studyType, const Settings& settings, const QString& programFolder,
                          StudyData& data) {
    StudyItems items;
    data.phraseFile.clear();
    Catalogue& c = data.catalogue;
    switch (studyType) {
    case study_type::Scale:
        items.entries = ListColumn(c.ScaleNames, ReadScaleFile(c, programFolder), true);
        break;
    case study_type::Chord:
        items.entries = ListColumn(c.ChordNames, ReadChordFile(c, programFolder), false);
        break;
    case study_type::IIVIPattern:
        items.entries = ListColumn(c.PatternNames, ReadPatternFile(c, programFolder), false);
        break;
    case study_type::IIVIPhrase:
        ListPhrases(programFolder + QLatin1Char('/') + QLatin1String(study_files::Phrases), data, items);
        break;
    case study_type::UserPhrase: {
        const QString path = QString::fromStdString(UserFilePathFromField(settings));
        if (path.isEmpty()) {
            data.phrases = PhraseList{};
            break;
        }
        if (!QFileInfo(path).isFile()) {
            items.messages << UserFileMissingMessage(path);
            ListPhrases(programFolder + QLatin1Char('/') + QLatin1String(study_files::Phrases), data, items);
            break;
        }
        // A file the reader refused is not the list's: no favourite of it is ever written back.
        items.fromUserFile = ListPhrases(path, data, items);
        break;
    }
    default:
        break;
    }
    return items;
}

} // namespace orbel
