#pragma once
// Text files beside the program are UTF-8 when they are valid UTF-8 (with or without a BOM) and CP932
// (Shift-JIS) otherwise, so that files written by the Windows program keep working. A file written back keeps
// the encoding, BOM and line ends it was read with.

#include <QByteArray>
#include <QByteArrayView>
#include <QList>
#include <QString>
#include <QStringList>
#include <QStringView>
#include <cstddef>
#include <optional>
#include <string_view>

namespace orbel {

// The byte-order mark a UTF-8 text file may begin with.
namespace text_bytes {
static constexpr std::string_view Utf8Bom = "\xEF\xBB\xBF";
} // namespace text_bytes

namespace text_limits {
// Data files are a few hundred kilobytes at most; anything far larger is not one of ours.
static constexpr qsizetype MaxTextFileBytes = 64 * 1024 * 1024;
// A name, an explanation or a catalogue definition is kept up to this many characters: far more than any
// window shows of it (see DisplayLine) or any definition can play, and no more than a reader should hold.
static constexpr std::size_t MaxFieldChars = 64 * 1024;
} // namespace text_limits

enum class TextEncoding { Utf8, Cp932 };

// How a text was stored. New files are UTF-8 with CR LF and no BOM.
struct TextFormat {
    TextEncoding encoding = TextEncoding::Utf8;
    bool bom = false;
    bool crlf = true;

    bool operator==(const TextFormat&) const = default;
};

struct DecodedText {
    QString text;
    TextFormat format;
};

// True when the bytes are well-formed UTF-8 (no overlong forms, surrogates or code points past U+10FFFF).
bool IsValidUtf8(QByteArrayView bytes);

// CP932 to text; a byte sequence that is not CP932 becomes U+FFFD.
QString DecodeCp932(QByteArrayView bytes);
// Text to CP932; nullopt when a character has no CP932 form.
std::optional<QByteArray> EncodeCp932(QStringView text);

// Bytes as UTF-8 when they are valid UTF-8, else as CP932; nothing else is changed.
QString DecodeBytes(QByteArrayView bytes);

// A whole file's bytes: a UTF-8 BOM removed and remembered; in a file whose first line ends in CR LF, every
// CR LF becomes "\n" (any other file keeps its line ends as they are, so it writes back unchanged).
DecodedText DecodeText(QByteArrayView bytes);
// The inverse of DecodeText; nullopt when the text cannot be stored in the format's encoding, or when its
// bytes would read back as another text.
std::optional<QByteArray> EncodeText(QStringView text, const TextFormat& format);

// The lines of a text, split at "\n", "\r\n" or a lone "\r"; a final line end adds no empty line.
QStringList SplitLines(const QString& text);
// The same lines as views into text, which must outlive them: a long line is not copied.
QList<QStringView> LineViews(QStringView text);

// nullopt when the file cannot be read or is larger than maxBytes.
std::optional<DecodedText> ReadTextFile(const QString& path, qint64 maxBytes = text_limits::MaxTextFileBytes);

// Encodes text and replaces the file with it (WriteFileAtomic). False on any failure; the old file is then
// untouched.
bool WriteTextFileAtomic(const QString& path, QStringView text, const TextFormat& format);

} // namespace orbel
