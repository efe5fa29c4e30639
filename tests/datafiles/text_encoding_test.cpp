#include "datafiles/atomic_save.h"
#include "datafiles/text_encoding.h"

#include <QDir>
#include <QFile>
#include <QTemporaryDir>
#include <gtest/gtest.h>
#include <random>

namespace orbel {
namespace {

QByteArray Bytes(const char* text) {
    return QByteArray(text);
}

QByteArray ReadAll(const QString& path) {
    QFile file(path);
    if (!file.open(QIODevice::ReadOnly)) return {};
    return file.readAll();
}

// How a file's bytes read, and that writing the text back in its format gives the same bytes.
struct FileCase {
    const char* name;
    QByteArray bytes;
    QString text;
    TextFormat format;
};

class ReadsAndWritesBack : public ::testing::TestWithParam<FileCase> {};

TEST_P(ReadsAndWritesBack, DecodesThenEncodesToTheSameBytes) {
    const FileCase& c = GetParam();
    const DecodedText decoded = DecodeText(c.bytes);
    EXPECT_EQ(decoded.text, c.text);
    EXPECT_EQ(decoded.format, c.format);
    const std::optional<QByteArray> encoded = EncodeText(decoded.text, decoded.format);
    ASSERT_TRUE(encoded.has_value());
    EXPECT_EQ(*encoded, c.bytes);
}

using Enc = TextEncoding;
INSTANTIATE_TEST_SUITE_P(
    TextEncoding, ReadsAndWritesBack,
    ::testing::Values(
        FileCase{"Utf8CrLf",
                 Bytes("\xE3\x83\x89\xE3\x83\xAC\r\n3C4 3D4\r\n"),
                 QStringLiteral("ドレ\n3C4 3D4\n"),
                 {Enc::Utf8, false, true}},
        // Only a CR before an LF goes; a lone CR, one before another CR included, is text.
        FileCase{"Utf8CrLfWithLoneCrs",
                 Bytes("a\r\nb\rc\r\r\nd\r"),
                 QStringLiteral("a\nb\rc\r\nd\r"),
                 {Enc::Utf8, false, true}},
        FileCase{"Utf8BomLf",
                 Bytes("\xEF\xBB\xBF"
                       "abc\ndef"),
                 QStringLiteral("abc\ndef"),
                 {Enc::Utf8, true, false}},
        // A byte-order mark after the file's own is a character of the text, not dropped on the way.
        FileCase{"Utf8BomTwice",
                 Bytes("\xEF\xBB\xBF\xEF\xBB\xBF"
                       "a"),
                 QString(QChar(0xFEFF)) + QLatin1Char('a'),
                 {Enc::Utf8, true, true}},
        FileCase{"AsciiNoLineEnd", Bytes("plain"), QStringLiteral("plain"), {Enc::Utf8, false, true}},
        FileCase{"Empty", QByteArray(), QString(), {Enc::Utf8, false, true}},
        // ドレミ, a half-width katakana, a backslash and a tilde (which stay ASCII in CP932), ～ and ①.
        FileCase{"Cp932CrLf",
                 Bytes("\x83h\x83\x8C\x83~\r\n\xB1\\~\x81\x60\x87\x40\r\n"),
                 QStringLiteral("ドレミ\nｱ\\~～①\n"),
                 {Enc::Cp932, false, true}},
        // The first line end decides; a later CR LF in an LF file is kept as it is.
        FileCase{"Cp932MixedLineEnds",
                 Bytes("\x82\xA0\n\x82\xA2\r\n"),
                 QStringLiteral("あ\nい\r\n"),
                 {Enc::Cp932, false, false}}),
    [](const auto& info) { return std::string(info.param.name); });

TEST(TextEncoding, BomFollowedByNonUtf8ReadsAsCp932AndIsNotWrittenBack) {
    // EF BB is no CP932 character; BB and BF are half-width katakana.
    const DecodedText decoded = DecodeText(Bytes("\xEF\xBB\xBF\x82\xA0"));
    EXPECT_EQ(decoded.format.encoding, TextEncoding::Cp932);
    EXPECT_FALSE(decoded.format.bom);
    EXPECT_EQ(decoded.text, QStringLiteral("\uFFFDｻｿあ"));
    EXPECT_FALSE(EncodeText(decoded.text, decoded.format).has_value());
}

TEST(TextEncoding, RecognisesWellFormedUtf8Only) {
    struct Case {
        const char* bytes;
        bool valid;
    };
    const Case cases[] = {
        {"", true},
        {"\xF0\x9F\x8E\xB5", true},  // U+1F3B5, four bytes
        {"\xEF\xBF\xBD", true},      // U+FFFD itself
        {"\xC0\x80", false},         // overlong NUL
        {"\xE0\x80\xAF", false},     // overlong "/"
        {"\xED\xA0\x80", false},     // surrogate
        {"\xF4\x90\x80\x80", false}, // past U+10FFFF
        {"\xE3\x81", false},         // cut short
        {"\x82\xA0", false},         // CP932 あ
        {"abc\x80", false},          // stray continuation byte
        // Past and across runs of eight ASCII bytes, which are taken at once.
        {"12345678\xC0\x80", false},
        {"1234567\xE3\x83\x89"
         "12345678",
         true},
        {"1234567\xE3\x83", false},
    };
    for (const Case& c : cases)
        EXPECT_EQ(IsValidUtf8(QByteArrayView(c.bytes)), c.valid) << c.bytes;
    EXPECT_TRUE(IsValidUtf8(QByteArray("a\0b", 3))); // NUL is a character like any other
}

TEST(TextEncoding, UnreadableCp932BytesBecomeReplacementCharacters) {
    EXPECT_EQ(DecodeCp932("A\x80"
                          "B\xFF"
                          "C"),
              QStringLiteral("A\uFFFDB\uFFFDC"));
    EXPECT_EQ(DecodeCp932("\x82 x"), QStringLiteral("\uFFFD x")); // lead byte with a bad trail byte
    EXPECT_EQ(DecodeCp932("ab\x82"), QStringLiteral("ab\uFFFD")); // cut after a lead byte
    EXPECT_EQ(DecodeCp932(QByteArray("\0\x82\xA0", 3)), QString(QChar(0)) + QStringLiteral("あ"));
}

TEST(TextEncoding, RandomBytesNeverGrowTheText) {
    std::mt19937 random(932);
    std::uniform_int_distribution<int> byte(0, 255);
    int writtenBack = 0;
    for (int round = 0; round < 2000; ++round) {
        // Mostly short texts, so that many are whole CP932; every tenth a long one.
        QByteArray bytes(round % 10 == 0 ? 1 + round : 1 + round % 6, '\0');
        for (char& b : bytes)
            b = static_cast<char>(byte(random));
        const DecodedText decoded = DecodeText(bytes);
        EXPECT_LE(decoded.text.size(), bytes.size());
        // Whatever was read either writes back as the same text or is refused: never changed on the way.
        const std::optional<QByteArray> again = EncodeText(decoded.text, decoded.format);
        if (again && decoded.format.encoding == TextEncoding::Cp932) {
            QString text = DecodeCp932(*again);
            if (decoded.format.crlf) text.replace(QStringLiteral("\r\n"), QStringLiteral("\n"));
            EXPECT_EQ(text, decoded.text);
            ++writtenBack;
        }
    }
    EXPECT_GT(writtenBack, 100);
}

TEST(TextEncoding, RefusesTextThatTheEncodingCannotHold) {
    const TextFormat cp932{TextEncoding::Cp932, false, true};
    EXPECT_FALSE(EncodeText(QStringLiteral("3C4 €"), cp932).has_value());
    EXPECT_FALSE(EncodeText(QStringLiteral("ü"), cp932).has_value());
    EXPECT_FALSE(EncodeText(QStringLiteral("bad \uFFFD byte"), cp932).has_value());
    const QString loneSurrogate = QStringLiteral("a") + QChar(0xD800) + QStringLiteral("b");
    EXPECT_FALSE(EncodeText(loneSurrogate, cp932).has_value());
    EXPECT_FALSE(EncodeText(loneSurrogate, TextFormat{}).has_value());
    EXPECT_EQ(EncodeText(QStringLiteral("♪\n"), TextFormat{}), Bytes("\xE2\x99\xAA\r\n"));
    // Shift-JIS whose bytes would pass for UTF-8 reads as another text: refused, not written.
    const QByteArray utf8Lookalike = Bytes("\xE8\x82\x92\xE6\x9B\xA7\xE3\xB8\xFA\x51");
    const DecodedText read = DecodeText(utf8Lookalike);
    ASSERT_EQ(read.format.encoding, TextEncoding::Cp932);
    const std::optional<QByteArray> again = EncodeText(read.text, read.format);
    if (again) {
        EXPECT_EQ(DecodeText(*again).text, read.text);
    }
}

TEST(TextEncoding, SplitsAtEveryKindOfLineEnd) {
    EXPECT_EQ(SplitLines(QStringLiteral("a\r\nb\nc\rd")), QStringList({"a", "b", "c", "d"}));
    EXPECT_EQ(SplitLines(QStringLiteral("a\n")), QStringList({"a"}));
    EXPECT_EQ(SplitLines(QStringLiteral("\n\n")), QStringList({"", ""}));
    EXPECT_EQ(SplitLines(QStringLiteral("\r\r\n\n\ra")), QStringList({"", "", "", "", "a"}));
    EXPECT_TRUE(SplitLines(QString()).isEmpty());
}

TEST(TextEncoding, FilesWriteBackInTheFormatTheyWereReadWith) {
    QTemporaryDir dir;
    ASSERT_TRUE(dir.isValid());
    const QString path = dir.filePath(QStringLiteral("ric.txt"));
    const QByteArray original("\x83t\x83\x8C\x81[\x83Y\r\n3C4\r\n"); // フレーズ in CP932
    {
        QFile file(path);
        ASSERT_TRUE(file.open(QIODevice::WriteOnly));
        file.write(original);
    }
    const std::optional<DecodedText> read = ReadTextFile(path);
    ASSERT_TRUE(read.has_value());
    EXPECT_EQ(read->text, QStringLiteral("フレーズ\n3C4\n"));
    ASSERT_TRUE(WriteTextFileAtomic(path, read->text + QStringLiteral("*\n"), read->format));
    EXPECT_EQ(ReadAll(path), original + "*\r\n");

    // A text the file's encoding cannot hold leaves the file as it was.
    EXPECT_FALSE(WriteTextFileAtomic(path, QStringLiteral("€"), read->format));
    EXPECT_EQ(ReadAll(path), original + "*\r\n");
    EXPECT_EQ(QDir(dir.path()).entryList(QDir::Files), QStringList{QStringLiteral("ric.txt")});
}

TEST(TextEncoding, ReportsFilesThatCannotBeReadOrWritten) {
    QTemporaryDir dir;
    ASSERT_TRUE(dir.isValid());
    EXPECT_FALSE(ReadTextFile(dir.filePath(QStringLiteral("missing.txt"))).has_value());
    EXPECT_FALSE(ReadTextFile(dir.path()).has_value()); // a folder
    EXPECT_FALSE(WriteFileAtomic(dir.filePath(QStringLiteral("gone/a.txt")), "x"));
    ASSERT_TRUE(QDir(dir.path()).mkdir(QStringLiteral("folder")));
    EXPECT_FALSE(WriteFileAtomic(dir.filePath(QStringLiteral("folder")), "x"));
    EXPECT_TRUE(QFileInfo(dir.filePath(QStringLiteral("folder"))).isDir());
}

} // namespace
} // namespace orbel
