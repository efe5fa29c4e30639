#include "datafiles/phrase_file.h"

#include "datafiles/text_encoding.h"

#include <QDir>
#include <QFile>
#include <QFileInfo>
#include <QTemporaryDir>
#include <gtest/gtest.h>
#include <ostream>
#include <random>
#include <string>
#include <vector>

namespace orbel {
namespace {

// Bytes of a literal, embedded NULs included.
template <std::size_t N> QByteArray B(const char (&text)[N]) {
    return QByteArray(text, static_cast<qsizetype>(N - 1));
}

struct Item {
    std::string name;
    std::int16_t favourite = 0;
    std::int16_t beats = 4;
    std::string comment;
    std::vector<std::string> lines;

    bool operator==(const Item&) const = default;
};

void PrintTo(const Item& item, std::ostream* os) {
    *os << "{" << item.name << ", fav " << item.favourite << ", beats " << item.beats << ", \""
        << item.comment << "\", " << item.lines.size() << " lines";
    for (const std::string& line : item.lines)
        *os << " [" << line << "]";
    *os << "}";
}

std::vector<Item> ItemsOf(const PhraseList& list) {
    std::vector<Item> items;
    for (std::size_t i = 0; i < list.PhraseNames.size(); ++i) {
        items.push_back({list.PhraseNames[i], list.PhraseFavourite[i], list.PhraseBeats[i],
                         list.PhraseComment[i], list.PhraseLines[i]});
    }
    return items;
}

class PhraseFolder {
public:
    QString write(const QString& name, const QByteArray& bytes) const {
        const QString path = dir_.filePath(name);
        QFile file(path);
        EXPECT_TRUE(file.open(QIODevice::WriteOnly));
        EXPECT_EQ(file.write(bytes), bytes.size());
        return path;
    }
    QString path(const QString& name) const { return dir_.filePath(name); }
    QStringList entries() const {
        return QDir(dir_.path()).entryList(QDir::AllEntries | QDir::NoDotAndDotDot);
    }

private:
    QTemporaryDir dir_;
};

QByteArray ReadAll(const QString& path) {
    QFile file(path);
    if (!file.open(QIODevice::ReadOnly)) return {};
    return file.readAll();
}

// ---- reading ----

struct ReadCase {
    const char* name;
    QByteArray bytes;
    std::vector<Item> items;
};

class ReadsPhraseFile : public ::testing::TestWithParam<ReadCase> {};

TEST_P(ReadsPhraseFile, GivesTheItems) {
    const ReadCase& c = GetParam();
    PhraseFolder folder;
    PhraseList list;
    const PhraseReadResult result = ReadPhraseFile(list, folder.write("p.txt", c.bytes));
    EXPECT_EQ(result.error, QString());
    EXPECT_EQ(result.count, static_cast<std::int16_t>(c.items.size()));
    EXPECT_EQ(ItemsOf(list), c.items);
}

INSTANTIATE_TEST_SUITE_P(
    PhraseFile, ReadsPhraseFile,
    ::testing::Values(
        ReadCase{"FavouriteStarStaysInTheName",
                 B("$★HOT1\r\n3C4 3D4\r\n$HOT2 ★\r\n"),
                 {{"★HOT1", 1, 4, "", {"3C4 3D4"}}, {"HOT2 ★", 1, 4, "", {}}}},
        ReadCase{"OnlyAThreeMakesThreeBeats",
                 B("$a\n/3\n/4\n$b\n/4\n$c\n/ 6/8\n"),
                 {{"a", 0, 3, "", {}}, {"b", 0, 4, "", {}}, {"c", 0, 4, "", {}}}},
        ReadCase{
            "PlusAndMinusBecomeSharpAndFlat", B("$a\nF+ B- |Dm7-5|\n"), {{"a", 0, 4, "", {"F# Bb |Dm7b5|"}}}},
        ReadCase{"FullWidthMarksActLikeAscii",
                 B("$a／b\n／3\n！  ゆっくり  \n3C4￥3D4\n"),
                 {{"a/b", 0, 3, "ゆっくり", {"3C4\\3D4"}}}},
        ReadCase{"LaterExplanationReplacesEarlier",
                 B("$a\n!first\n!  second!x \n"),
                 {{"a", 0, 4, "second!x", {}}}},
        ReadCase{"IndentedLinesAndNulsAroundThem",
                 B("   'c\n  $a  \n \0 3C4\0 \n  !  x\n   /3\n"),
                 {{"a", 0, 3, "x", {"3C4"}}}},
        ReadCase{"BlankAndCommentLinesOnly", B("\n   \n'c\n\0\n  ' $a\n"), {}},
        ReadCase{"MetreWithoutThreeBeforeFirstHeader", B("/4\n$a\nC\n"), {{"a", 0, 4, "", {"C"}}}},
        ReadCase{"EveryLineEnd", B("$a\rC\r\nD\nE"), {{"a", 0, 4, "", {"C", "D", "E"}}}},
        ReadCase{"Cp932", B("$\x81\x9aHOT1\r\n\x83h\x83\x8C\r\n"), {{"★HOT1", 1, 4, "", {"ドレ"}}}},
        ReadCase{"Utf8BomIsNotPartOfTheFirstLine", B("\xEF\xBB\xBF$a\r\n"), {{"a", 0, 4, "", {}}}}),
    [](const auto& info) { return std::string(info.param.name); });

struct RejectCase {
    const char* name;
    QByteArray bytes;
    int line; // the line the message names
};

class RejectsPhraseFile : public ::testing::TestWithParam<RejectCase> {};

TEST_P(RejectsPhraseFile, EmptiesTheListAndNamesFileAndLine) {
    const RejectCase& c = GetParam();
    PhraseFolder folder;
    const QString path = folder.write("p.txt", c.bytes);
    PhraseList list;
    ASSERT_EQ(ReadPhraseFile(list, folder.write("old.txt", B("$old\nC\n"))).count, 1);

    const PhraseReadResult result = ReadPhraseFile(list, path);
    EXPECT_EQ(result.count, 0);
    EXPECT_EQ(list.count(), 0);
    EXPECT_TRUE(list.PhraseLines.empty());
    EXPECT_TRUE(result.error.contains(path)) << result.error.toStdString();
    EXPECT_TRUE(result.error.contains(QStringLiteral("の %1 行目").arg(c.line)))
        << result.error.toStdString();
}

QByteArray Headers(int count) {
    QByteArray bytes;
    for (int i = 0; i < count; ++i)
        bytes += "$item" + QByteArray::number(i) + "\r\nC\r\n";
    return bytes;
}

INSTANTIATE_TEST_SUITE_P(PhraseFile, RejectsPhraseFile,
                         ::testing::Values(RejectCase{"DataBeforeFirstHeader", B("'c\n3C4\n$a\n"), 2},
                                           RejectCase{"ExplanationBeforeFirstHeader", B("!x\n$a\n"), 1},
                                           RejectCase{"MetreThreeBeforeFirstHeader", B("\n／3\n$a\n"), 2},
                                           RejectCase{"ThreeHundredAndSecondItem", Headers(400), 603}),
                         [](const auto& info) { return std::string(info.param.name); });

TEST(PhraseFile, PathIsTrimmedAndAMissingFileIsAnError) {
    PhraseFolder folder;
    PhraseList list;
    EXPECT_EQ(ReadPhraseFile(list, "  " + folder.write("p.txt", B("$a\n")) + " ").count, 1);
    const QString missing = folder.path("missing.txt");
    for (const QString& path : {missing, folder.path(""), QString()}) {
        const PhraseReadResult result = ReadPhraseFile(list, path);
        EXPECT_EQ(result.count, 0);
        EXPECT_EQ(list.count(), 0);
        EXPECT_TRUE(result.error.contains(path)) << result.error.toStdString();
    }
}

// ---- limits and hostile input ----

TEST(PhraseFileLimits, ReadingStopsWhenAnItemReachesThreeHundredDataLines) {
    QByteArray bytes = "$a\n";
    for (int i = 0; i < 401; ++i)
        bytes += "L" + QByteArray::number(i) + "\n";
    bytes += "$b\nC\n";
    PhraseFolder folder;
    PhraseList list;
    const PhraseReadResult result = ReadPhraseFile(list, folder.write("p.txt", bytes));
    EXPECT_EQ(result.error, QString());
    ASSERT_EQ(result.count, 1);
    ASSERT_EQ(list.PhraseLines[0].size(), 300u);
    EXPECT_EQ(list.PhraseLines[0].back(), "L299");
}

// 301 items, the most a list holds, over 10 000 lines, the last item with megabyte lines.
TEST(PhraseFileLimits, TenThousandLinesAndMegabyteLines) {
    QByteArray bytes;
    for (int item = 0; item < 300; ++item) {
        bytes += "$item\n";
        for (int line = 0; line < 33; ++line)
            bytes += "3C4 3D4\n";
    }
    const QByteArray longData(1 << 20, '-');
    bytes += "$" + QByteArray(1 << 20, 'n') + "★\n" + longData + "\n";
    PhraseFolder folder;
    PhraseList list;
    const PhraseReadResult result = ReadPhraseFile(list, folder.write("p.txt", bytes));
    ASSERT_EQ(result.count, 301);
    // The name is kept up to the limit; its star, past it, still counts.
    EXPECT_EQ(list.PhraseNames[300], std::string(text_limits::MaxFieldChars, 'n'));
    EXPECT_EQ(list.PhraseFavourite[300], 1);
    EXPECT_EQ(list.PhraseLines[300].at(0), std::string(1 << 20, 'b'));
}

TEST(PhraseFileLimits, RandomBytesNeverBreakTheList) {
    std::mt19937 random(20240601);
    std::uniform_int_distribution<int> byte(0, 255);
    for (int round = 0; round < 20; ++round) {
        QByteArray bytes = "$start\n";
        for (int i = 0; i < 20000; ++i) {
            // Plenty of line ends and headers so that every kind of line turns up.
            const int value = byte(random);
            bytes += value < 16 ? '\n' : value < 20 ? '$' : static_cast<char>(value);
        }
        PhraseFolder folder;
        PhraseList list;
        const PhraseReadResult result = ReadPhraseFile(list, folder.write("p.txt", bytes));
        EXPECT_EQ(result.count, list.count());
        EXPECT_LE(list.count(), 301);
        EXPECT_EQ(list.PhraseLines.size(), list.PhraseNames.size());
        for (const std::vector<std::string>& lines : list.PhraseLines) {
            EXPECT_LE(lines.size(), 300u);
            for (const std::string& line : lines)
                EXPECT_FALSE(line.empty());
        }
    }
}

// ---- writing the favourite marks back ----

struct SaveCase {
    const char* name;
    QByteArray before;
    std::vector<std::int16_t> favourites;
    QByteArray after;
};

class SavesFavourites : public ::testing::TestWithParam<SaveCase> {};

TEST_P(SavesFavourites, WritesTheMarksAndReadsThemBack) {
    const SaveCase& c = GetParam();
    PhraseFolder folder;
    const QString path = folder.write("user.txt", c.before);
    PhraseList list;
    ASSERT_EQ(ReadPhraseFile(list, path).error, QString());
    ASSERT_EQ(list.PhraseFavourite.size(), c.favourites.size());
    list.PhraseFavourite = c.favourites;

    ASSERT_TRUE(SaveFavourites(list, path));
    EXPECT_EQ(ReadAll(path), c.after);
    EXPECT_EQ(folder.entries(), QStringList{"user.txt"});
    PhraseList again;
    ReadPhraseFile(again, path);
    EXPECT_EQ(again.PhraseFavourite, c.favourites);
}

INSTANTIATE_TEST_SUITE_P(
    PhraseFile, SavesFavourites,
    ::testing::Values(
        SaveCase{"UnchangedMarkStaysWhereItIs", B("$★HOT1\r\n3C4\r\n"), {1}, B("$★HOT1\r\n3C4\r\n")},
        SaveCase{"StarRemoved", B("$★HOT1\r\n3C4\r\n"), {0}, B("$HOT1\r\n3C4\r\n")},
        SaveCase{"OnlyToggledHeadersChangeBetweenTheirPadding",
                 B("  $★a ★ \n   F+  \n\n 'c \n\0 $b\0\n"),
                 {0, 1},
                 B("  $a \n   F+  \n\n 'c \n\0 $b★\0\n")},
        SaveCase{"Cp932KeepsEncodingAndCrLf",
                 B("$\x81\x9a\x83h\r\n$x\r\n"),
                 {0, 1},
                 B("$\x83h\r\n$x\x81\x9a\r\n")},
        SaveCase{"Utf8BomKept", B("\xEF\xBB\xBF$a\r\n"), {1}, B("\xEF\xBB\xBF$a★\r\n")},
        SaveCase{"EachLineKeepsItsLineEnd", B("$a\r\nC\nD\rE"), {1}, B("$a★\r\nC\nD\rE")},
        // Ⅰ as the IBM extension (FA 4A) and as NEC's (87 54), and an NEC-selected IBM character (ED 40):
        // each keeps the form it was written in.
        SaveCase{"Cp932CharactersWithTwoFormsKept",
                 B("$\xFA\x4A\x87\x54\xED\x40\r\n3C4\r\n"),
                 {1},
                 B("$\xFA\x4A\x87\x54\xED\x40\x81\x9a\r\n3C4\r\n")},
        SaveCase{"UnreadableByteInAHeaderKept", B("$a\x80\r\n"), {1}, B("$a\x80\x81\x9a\r\n")},
        SaveCase{"UnreadableByteOutsideHeadersKept",
                 B("$a\r\n3C4 \x80\r\n"),
                 {1},
                 B("$a\x81\x9a\r\n3C4 \x80\r\n")}),
    [](const auto& info) { return std::string(info.param.name); });

// Marks written back never change what a file reads as: a Shift-JIS file stays Shift-JIS even where its
// new bytes alone would pass for UTF-8, names read back exactly, and a save without a change writes nothing.
TEST(PhraseFileSave, FilesReadBackAsMeantAndKeepTheirEncoding) {
    const struct {
        const char* name;
        QByteArray before;
        std::vector<std::vector<std::int16_t>> saves; // the marks of one save after another
        TextEncoding encoding;
    } cases[] = {
        // "\xF0\x9F" is a user-defined character; with the star's "\x81\x9A" after it the four bytes are
        // UTF-8.
        {"UserDefinedCharacterBeforeTheStar",
         B("$A\xF0\x9F\r\n3C4\r\n"),
         {{1}, {0}, {1}},
         TextEncoding::Cp932},
        {"OnlyTheStarWasNotAscii", B("$A\x81\x9a\r\n3C4\r\n"), {{0}, {1}, {0}}, TextEncoding::Cp932},
        {"NulsBeforeTheStar", B("$A\0\0\xE2\x98\x85\n3C4\n"), {{0}, {1}, {0}}, TextEncoding::Utf8},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(c.name);
        PhraseFolder folder;
        const QString path = folder.write("user.txt", c.before);
        PhraseList first;
        ASSERT_EQ(ReadPhraseFile(first, path).error, QString());
        std::string plainName = first.PhraseNames[0].substr(0, first.PhraseNames[0].find("★"));
        plainName.erase(plainName.find_last_not_of(' ') + 1); // blanks before a star read as nothing
        for (const std::vector<std::int16_t>& marks : c.saves) {
            PhraseList list;
            ASSERT_EQ(ReadPhraseFile(list, path).error, QString());
            list.PhraseFavourite = marks;
            ASSERT_TRUE(SaveFavourites(list, path));
            EXPECT_EQ(DecodeText(ReadAll(path)).format.encoding, c.encoding);
            PhraseList again;
            ASSERT_EQ(ReadPhraseFile(again, path).error, QString());
            EXPECT_EQ(again.PhraseFavourite, marks);
            const std::string trimmed =
                again.PhraseNames[0].substr(0, again.PhraseNames[0].find_last_not_of(' ') + 1);
            EXPECT_EQ(trimmed, plainName + (marks[0] == 1 ? "★" : ""));
            EXPECT_EQ(again.PhraseLines, first.PhraseLines);

            // The same marks again: the file is not written at all.
            const QFileInfo before(path);
            const QByteArray bytes = ReadAll(path);
            ASSERT_TRUE(SaveFavourites(again, path));
            EXPECT_EQ(ReadAll(path), bytes);
            EXPECT_EQ(QFileInfo(path).fileTime(QFileDevice::FileModificationTime),
                      before.fileTime(QFileDevice::FileModificationTime));
        }
        EXPECT_EQ(folder.entries(), QStringList{"user.txt"});
    }
}

TEST(PhraseFileSave, HeadersPastTheListKeepTheirMarks) {
    PhraseFolder folder;
    const QString path = folder.write("user.txt", B("$★a\n$★b\n$c\n"));
    PhraseList list;
    list.PhraseNames = {"★a"};
    list.PhraseFavourite = {0};
    ASSERT_TRUE(SaveFavourites(list, path));
    EXPECT_EQ(ReadAll(path), B("$a\n$★b\n$c\n"));
}

// Every refusal leaves the folder as it was: no new file, no temporary file, the original byte for byte.
TEST(PhraseFileSave, RefusesWithoutTouchingAnything) {
    PhraseList list;
    list.PhraseNames = {"a"};
    list.PhraseFavourite = {1};
    const QByteArray original = B("$a\r\n3C4\r\n");

    PhraseFolder folder;
    const QString plain = folder.write("plain.txt", original);
    EXPECT_FALSE(SaveFavourites(list, folder.path("missing.txt")));
    EXPECT_FALSE(SaveFavourites(list, folder.path("gone/user.txt")));
    EXPECT_FALSE(SaveFavourites(list, plain + "/user.txt"));
    EXPECT_FALSE(SaveFavourites(list, folder.path("")));
    // A header ending in a lone lead byte would take the star's first byte for its second.
    const QByteArray badHeader = B("$a\x81\r\n3C4\r\n");
    const QString bad = folder.write("bad.txt", badHeader);
    EXPECT_FALSE(SaveFavourites(list, bad));
    // The longest name the folder allows leaves no room for the temporary file beside it.
    const QString longName = folder.write(QString(250, QLatin1Char('n')) + ".txt", original);
    EXPECT_FALSE(SaveFavourites(list, longName));

    EXPECT_EQ(folder.entries().size(), 3);
    EXPECT_EQ(ReadAll(plain), original);
    EXPECT_EQ(ReadAll(bad), badHeader);
    EXPECT_EQ(ReadAll(longName), original);
}

} // namespace
} // namespace orbel
