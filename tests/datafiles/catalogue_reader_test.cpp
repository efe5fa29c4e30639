// Reading scale.txt, code.txt and ptn.txt into the catalogue.
#include "datafiles/catalogue_reader.h"

#include "datafiles/text_encoding.h"

#include <QDir>
#include <QFile>
#include <QTemporaryDir>
#include <gtest/gtest.h>
#include <string>

namespace orbel {
namespace {

// One of the three readers with the file it reads and the columns and count it fills.
struct ReaderCase {
    const char* name;
    const char* fileName;
    std::int16_t (*read)(Catalogue&, const QString&);
    CatalogueColumn Catalogue::*names;
    CatalogueColumn Catalogue::*definitions;
    std::int16_t Catalogue::*count;
};

class CatalogueReaderTest : public ::testing::TestWithParam<ReaderCase> {
protected:
    void Write(const QByteArray& bytes) {
        QFile file(QDir(folder.path()).filePath(QString::fromLatin1(GetParam().fileName)));
        ASSERT_TRUE(file.open(QIODevice::WriteOnly | QIODevice::Truncate));
        ASSERT_EQ(file.write(bytes), bytes.size());
    }
    // A literal with its NULs kept.
    template <std::size_t N> void Write(const char (&text)[N]) { Write(QByteArray(text, N - 1)); }
    std::int16_t Read() { return GetParam().read(catalogue, folder.path()); }
    const std::string& Name(int i) const { return (catalogue.*GetParam().names)[i]; }
    const std::string& Definition(int i) const { return (catalogue.*GetParam().definitions)[i]; }
    std::int16_t Count() const { return catalogue.*GetParam().count; }

    QTemporaryDir folder;
    Catalogue catalogue;
};

TEST_P(CatalogueReaderTest, ReadsNameAndDefinitionOfEachDataLine) {
    Write("Ionian,WWHWWWH\r\nDorian,2122212\r\n");
    EXPECT_EQ(Read(), 2);
    EXPECT_EQ(Count(), 2);
    EXPECT_EQ(Name(0), "Ionian");
    EXPECT_EQ(Definition(0), "WWHWWWH");
    EXPECT_EQ(Name(1), "Dorian");
    EXPECT_EQ(Definition(1), "2122212");
}

TEST_P(CatalogueReaderTest, TakesTwentyDataLinesAtMost) {
    QByteArray bytes;
    for (int i = 0; i < 25; ++i)
        bytes += "item" + QByteArray::number(i) + "," + QByteArray::number(i) + "\r\n";
    // Never read, so its missing comma does no harm.
    bytes += "no comma\r\n";
    Write(bytes);
    ASSERT_EQ(Read(), 20);
    for (int i = 0; i < 20; ++i) {
        EXPECT_EQ(Name(i), "item" + std::to_string(i));
        EXPECT_EQ(Definition(i), std::to_string(i));
    }
    EXPECT_EQ(Name(20), "");
}

TEST_P(CatalogueReaderTest, SkipsCommentsAndBlankLines) {
    Write("# scales\r\n"
          "\r\n"
          "A,1\r\n"
          "    \r\n"
          "   # indented comment, with a comma\r\n"
          "B,2\r\n"
          "\0\0 \0\r\n"
          "C,3");
    ASSERT_EQ(Read(), 3);
    EXPECT_EQ(Name(0), "A");
    EXPECT_EQ(Name(1), "B");
    EXPECT_EQ(Name(2), "C");
    EXPECT_EQ(Definition(2), "3");
}

TEST_P(CatalogueReaderTest, CleansTheLineButNotTheFields) {
    Write("  \0Major ,  434 \0 \r\n"
          "empty,\r\n"
          ",nameless\r\n"
          "x#,#y\r\n");
    ASSERT_EQ(Read(), 4);
    EXPECT_EQ(Name(0), "Major ");
    EXPECT_EQ(Definition(0), "  434");
    EXPECT_EQ(Definition(1), "");
    EXPECT_EQ(Name(2), "");
    EXPECT_EQ(Definition(2), "nameless");
    EXPECT_EQ(Name(3), "x#");
    EXPECT_EQ(Definition(3), "#y");
}

TEST_P(CatalogueReaderTest, IgnoresTextAfterTheSecondComma) {
    Write("m7,343,minor seventh,extra\r\nM7,434,\r\n");
    ASSERT_EQ(Read(), 2);
    EXPECT_EQ(Name(0), "m7");
    EXPECT_EQ(Definition(0), "343");
    EXPECT_EQ(Definition(1), "434");
}

TEST_P(CatalogueReaderTest, KeepsNoMoreOfAFieldThanTheLimit) {
    const auto over = static_cast<int>(text_limits::MaxFieldChars) + 1;
    // A name of three-byte characters and a definition of surrogate pairs, each one character too long.
    Write(QString(over, QChar(u'ア')).toUtf8() + "," + QString(QStringLiteral("𝄞")).repeated(over).toUtf8() +
          ",x\r\nB,2\r\n");
    ASSERT_EQ(Read(), 2);
    EXPECT_EQ(Name(0), QString(over - 1, QChar(u'ア')).toStdString());
    EXPECT_EQ(Definition(0), QString(QStringLiteral("𝄞")).repeated(over - 1).toStdString());
    EXPECT_EQ(Name(1), "B");
}

TEST_P(CatalogueReaderTest, LineWithoutCommaGivesNothingButKeepsEarlierEntries) {
    Write("A,1\r\nB,2\r\nbroken line\r\nC,3\r\n");
    EXPECT_EQ(Read(), 0);
    EXPECT_EQ(Count(), 0);
    // Stored before the bad line; no user looks past the count.
    EXPECT_EQ(Name(1), "B");
    EXPECT_EQ(Name(2), "");
}

TEST_P(CatalogueReaderTest, MissingFileGivesNothing) {
    (catalogue.*GetParam().count) = 7;
    EXPECT_EQ(Read(), 0);
    EXPECT_EQ(Count(), 0);
}

TEST_P(CatalogueReaderTest, FileThatIsAFolderGivesNothing) {
    ASSERT_TRUE(QDir(folder.path()).mkdir(QString::fromLatin1(GetParam().fileName)));
    EXPECT_EQ(Read(), 0);
}

TEST_P(CatalogueReaderTest, ReadsEditsAndLeavesOldEntriesPastTheCount) {
    Write("A,1\r\nB,2\r\nC,3\r\n");
    ASSERT_EQ(Read(), 3);
    Write("New,434\r\n");
    ASSERT_EQ(Read(), 1);
    EXPECT_EQ(Name(0), "New");
    EXPECT_EQ(Definition(0), "434");
    EXPECT_EQ(Name(1), "B");
}

TEST_P(CatalogueReaderTest, ReadsUtf8AndCp932Files) {
    // ドリアン and ミクソリディアン, with a BOM and LF line ends.
    Write("\xEF\xBB\xBF\xE3\x83\x89\xE3\x83\xAA\xE3\x82\xA2\xE3\x83\xB3,2122212\n"
          "\xE3\x83\x9F\xE3\x82\xAF\xE3\x82\xBD\xE3\x83\xAA\xE3\x83\x87\xE3\x82\xA3\xE3\x82\xA2\xE3\x83\xB3,"
          "2212212\n");
    ASSERT_EQ(Read(), 2);
    EXPECT_EQ(Name(0), "ドリアン");
    EXPECT_EQ(Name(1), "ミクソリディアン");

    // The same names as the Windows program wrote them, in CP932 with CR LF; ＃ as a name's first character
    // is no comment.
    Write("\x83h\x83\x8A\x83\x41\x83\x93,2122212\r\n"
          "\x83\x7E\x83N\x83\x5C\x83\x8A\x83\x66\x83\x42\x83\x41\x83\x93,2212212\r\n"
          "\x81\x94\x82P,1\r\n");
    ASSERT_EQ(Read(), 3);
    EXPECT_EQ(Name(0), "ドリアン");
    EXPECT_EQ(Definition(0), "2122212");
    EXPECT_EQ(Name(1), "ミクソリディアン");
    EXPECT_EQ(Name(2), "＃１");
}

TEST(CatalogueReader, EachReaderFillsOnlyItsOwnColumns) {
    QTemporaryDir folder;
    const auto write = [&](const char* name, const QByteArray& bytes) {
        QFile file(QDir(folder.path()).filePath(QString::fromLatin1(name)));
        ASSERT_TRUE(file.open(QIODevice::WriteOnly));
        file.write(bytes);
    };
    write("scale.txt", "S,1\r\n");
    write("code.txt", "C1,2\r\nC2,3\r\n");
    write("ptn.txt", "P1,1\r\nP2,2\r\nP3,3\r\n");
    Catalogue catalogue;
    EXPECT_EQ(ReadScaleFile(catalogue, folder.path()), 1);
    EXPECT_EQ(ReadChordFile(catalogue, folder.path()), 2);
    EXPECT_EQ(ReadPatternFile(catalogue, folder.path()), 3);
    EXPECT_EQ(catalogue.ScaleCount, 1);
    EXPECT_EQ(catalogue.ChordCount, 2);
    EXPECT_EQ(catalogue.PatternCount, 3);
    EXPECT_EQ(catalogue.ScaleNames[0], "S");
    EXPECT_EQ(catalogue.ChordNames[1], "C2");
    EXPECT_EQ(catalogue.PatternDigits[2], "3");
    EXPECT_EQ(catalogue.ScaleNames[1], "");
}

INSTANTIATE_TEST_SUITE_P(
    Files, CatalogueReaderTest,
    ::testing::Values(ReaderCase{"Scales", "scale.txt", ReadScaleFile, &Catalogue::ScaleNames,
                                 &Catalogue::ScaleSteps, &Catalogue::ScaleCount},
                      ReaderCase{"Chords", "code.txt", ReadChordFile, &Catalogue::ChordNames,
                                 &Catalogue::ChordSteps, &Catalogue::ChordCount},
                      ReaderCase{"Patterns", "ptn.txt", ReadPatternFile, &Catalogue::PatternNames,
                                 &Catalogue::PatternDigits, &Catalogue::PatternCount}),
    [](const auto& info) { return std::string(info.param.name); });

} // namespace
} // namespace orbel
