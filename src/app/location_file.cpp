#include "app/location_file.h"

#include "app/settings_file.h"
#include "datafiles/text_encoding.h"
#include "theory/display_text.h"
#include "theory/kihon.h"
#include "theory/numbers.h"

#include <QDir>
#include <QFileInfo>
#include <QRegularExpression>
#include <algorithm>
#include <array>
#include <filesystem>
#include <optional>

namespace orbel {

namespace {

static constexpr qsizetype ValueStart = 5; // values start at the sixth character of their line
static constexpr int LowestStudyType = 0;
static constexpr int HighestStudyType = 4;

struct LocationEntry {
    QString fileName; // upper case, as the line was examined
    int studyType = 0;
};

bool IsComment(const QString& line) {
    return line.startsWith(QLatin1Char(';')) || line.startsWith(QLatin1Char('#')) ||
           line.startsWith(QLatin1Char('\''));
}

QString Cleaned(const QString& text) {
    return QString::fromStdString(CleanFixedText(text.toStdString()));
}

LocationEntry ParseLocation(const QString& text) {
    LocationEntry entry;
    for (const QString& rawLine : SplitLines(text)) {
        // Cleaned like every line the program reads: NULs count as blanks, and leading blanks do not stop a
        // key from beginning its line.
        const QString cleaned = Cleaned(rawLine);
        if (IsComment(cleaned)) continue;
        const QString line = cleaned.toUpper();
        if (line.contains(QLatin1String("FILE="))) {
            entry.fileName = Cleaned(line.mid(ValueStart));
        } else if (line.contains(QLatin1String("SLCT="))) {
            entry.studyType = LeadingWholeNumber(line.mid(ValueStart).toStdString());
            break;
        }
    }
    return entry;
}

// The entry of folder whose name equals name when both are upper-cased; the exact name is preferred.
std::optional<QString> FindEntryIgnoringCase(const QString& folder, const QString& name) {
    if (QFileInfo::exists(folder + QLatin1Char('/') + name)) return name;
    const QString wanted = name.toUpper();
    const QStringList entries = QDir(folder).entryList(
        QDir::AllEntries | QDir::Hidden | QDir::System | QDir::NoDotAndDotDot, QDir::Name);
    for (const QString& entry : entries) {
        if (entry.toUpper() == wanted) return entry;
    }
    return std::nullopt;
}

// The line was upper-cased before its name was taken (harmless on a case-blind file system), so on this one
// each part of the name is looked up ignoring case and taken as it is on disk: "MYPHRASES.TXT" finds
// "myphrases.txt". Either "/" or "\" separates folders, as files written on Windows use "\".
QString ResolveIgnoringCase(const QString& folder, const QString& name) {
    static const QRegularExpression separators(QStringLiteral("[/\\\\]"));
    QString path = folder;
    for (const QString& part : name.split(separators, Qt::SkipEmptyParts)) {
        const bool special = part == QLatin1String(".") || part == QLatin1String("..");
        const std::optional<QString> onDisk = special ? std::nullopt : FindEntryIgnoringCase(path, part);
        path += QLatin1Char('/') + onDisk.value_or(part);
    }
    return path;
}

// The folders of the system's own pseudo files, which no open dialog offers as a place for phrases.
static constexpr std::array<const char*, 4> SystemFolders = {"/proc/", "/sys/", "/dev/", "/run/"};

// Whether the open dialog of the user-defined file could have chosen path: a regular ".txt" file, looked at
// where its links lead.
bool IsPhraseFileChoice(const QString& path) {
    const QFileInfo named(path);
    const QString real = named.canonicalFilePath();
    if (real.isEmpty() || !QFileInfo(real).isFile()) return false;
    const auto isText = [](const QString& name) {
        return name.endsWith(QLatin1String(".txt"), Qt::CaseInsensitive);
    };
    if (!isText(named.fileName()) || !isText(real)) return false;
    return std::none_of(SystemFolders.begin(), SystemFolders.end(),
                        [&real](const char* folder) { return real.startsWith(QLatin1String(folder)); });
}

QString NotAPhraseFile(const QString& path) {
    return QStringLiteral(
               "location.txt の「%1」はフレーズファイル（.txt）ではないため、読み込みませんでした。")
        .arg(path);
}

} // namespace

LocationResult ReadLocationFile(Settings& s, const QString& programFolder) {
    const std::optional<QString> locationName =
        FindEntryIgnoringCase(programFolder, QLatin1String(location_file::FileName));
    if (!locationName) return {};
    const QString locationPath = programFolder + QLatin1Char('/') + *locationName;
    // A file name and a study type: anything longer is no location file.
    static constexpr qint64 LocationFileLimit = 64 * 1024;
    const std::optional<DecodedText> text = ReadTextFile(locationPath, LocationFileLimit);
    if (!text) return {};

    const LocationEntry entry = ParseLocation(text->text);
    if (entry.fileName.isEmpty()) return {};
    const QString fullName = ResolveIgnoringCase(programFolder, entry.fileName);
    // A name that is not there may appear later (a folder not yet mounted): location.txt waits for it.
    if (!QFileInfo::exists(fullName)) return {};
    if (!IsPhraseFileChoice(fullName))
        return {false,
                NotAPhraseFile(QString::fromStdString(DisplayLine(QDir::cleanPath(fullName).toStdString())))};
    // A location file that cannot be deleted would hand the file over again at every start.
    if (!DeleteFileForced(std::filesystem::path(locationPath.toStdString()))) return {};

    s.UserFilePath = fullName.toStdString();
    StoreUserFilePath(s);
    // An unknown study type would select past the end of the study-type list; keep it within the list.
    int studyType = entry.studyType;
    ClampValue(LowestStudyType, HighestStudyType, studyType);
    s.StudyType = static_cast<std::int16_t>(studyType);
    return {true, QString()};
}

} // namespace orbel
