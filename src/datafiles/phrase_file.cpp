#include "datafiles/phrase_file.h"

#include "datafiles/atomic_save.h"
#include "datafiles/bounded_read.h"
#include "datafiles/text_encoding.h"
#include "theory/kihon.h"
#include "theory/sequence_text.h"

#include <QByteArray>
#include <QByteArrayView>
#include <QFile>
#include <QFileInfo>
#include <algorithm>
#include <array>
#include <optional>
#include <string>
#include <string_view>
#include <utility>
#include <vector>

namespace orbel {

namespace {

namespace phrase_marks {
static constexpr char Comment = '\'';
static constexpr char Header = '$';
static constexpr char Metre = '/';
static constexpr char Explanation = '!';
static constexpr char ThreeBeats = '3';
static constexpr std::string_view Favourite = "★";
static constexpr char16_t FavouriteChar = u'★';
} // namespace phrase_marks

// Full-width forms that the files may use in place of the marks.
struct Replacement {
    std::string_view from;
    std::string_view to;
};
static constexpr std::array<Replacement, 3> FullWidthMarks = {{{"／", "/"}, {"￥", "\\"}, {"！", "!"}}};

static constexpr QByteArrayView Utf8Bom(text_bytes::Utf8Bom.data(), text_bytes::Utf8Bom.size());

enum class LineKind { Blank, Comment, Header, Metre, Explanation, Data };

// One pass over the text, so that a long line with many hits stays linear.
void ReplaceAll(std::string& text, std::string_view from, std::string_view to) {
    std::size_t hit = text.find(from);
    if (hit == std::string::npos) return;
    std::string replaced;
    replaced.reserve(text.size());
    std::size_t start = 0;
    for (; hit != std::string::npos; hit = text.find(from, start)) {
        replaced.append(text, start, hit - start);
        replaced.append(to);
        start = hit + from.size();
    }
    replaced.append(text, start);
    text = std::move(replaced);
}

// A line as the reader sees it: cleaned of NULs and surrounding blanks, full-width marks made ASCII.
std::string PrepareLine(const QString& line) {
    std::string prepared = CleanFixedText(line.toStdString());
    for (const Replacement& mark : FullWidthMarks) {
        ReplaceAll(prepared, mark.from, mark.to);
    }
    return prepared;
}

LineKind Classify(std::string_view prepared) {
    if (prepared.empty()) return LineKind::Blank;
    switch (prepared.front()) {
    case phrase_marks::Comment:
        return LineKind::Comment;
    case phrase_marks::Header:
        return LineKind::Header;
    case phrase_marks::Metre:
        return LineKind::Metre;
    case phrase_marks::Explanation:
        return LineKind::Explanation;
    default:
        return LineKind::Data;
    }
}

QString TrimmedPath(const QString& path) {
    return QString::fromStdString(CleanFixedText(path.toStdString()));
}

namespace phrase_errors {

QString NotFound(const QString& path) {
    return QStringLiteral("ファイル「%1」が見つかりません。").arg(path);
}
QString CannotRead(const QString& path) {
    return QStringLiteral("ファイル「%1」を読み込めません。").arg(path);
}
QString AtLine(const QString& path, qsizetype line, const QString& reason) {
    return QStringLiteral("ファイル「%1」の %2 行目：%3").arg(path).arg(line).arg(reason);
}
QString TooManyItems() {
    return QStringLiteral("項目（$ の行）が %1 個を超えています。").arg(phrase_limits::MaxItems);
}
QString BeforeFirstHeader(LineKind kind) {
    const QString what = kind == LineKind::Explanation ? QStringLiteral("説明の行（!）")
                         : kind == LineKind::Metre     ? QStringLiteral("拍子の行（/3）")
                                                       : QStringLiteral("データの行");
    return QStringLiteral("最初の項目（$ の行）より前に%1があります。").arg(what);
}

} // namespace phrase_errors

// A name or an explanation as the list keeps it.
std::string KeptText(std::string_view text) {
    return CutToCharacters(text, text_limits::MaxFieldChars);
}

void StartItem(PhraseList& list, std::string_view header) {
    // The mark is looked for in the whole header, wherever a long name puts it.
    list.PhraseNames.push_back(KeptText(header.substr(1)));
    list.PhraseFavourite.push_back(header.find(phrase_marks::Favourite) != std::string_view::npos ? 1 : 0);
    list.PhraseBeats.push_back(4);
    list.PhraseComment.emplace_back();
    list.PhraseLines.emplace_back();
}

// ---- writing the favourite marks back ----

struct RawLine {
    QByteArrayView content;
    QByteArrayView end; // "\r\n", "\n", "\r", or empty for a last line without one
};

// Lines at the same breaks as SplitLines. Neither CR nor LF is ever part of a UTF-8 or CP932 multi-byte
// character, so splitting the bytes splits the text.
std::vector<RawLine> SplitRawLines(QByteArrayView bytes) {
    std::vector<RawLine> lines;
    qsizetype start = 0;
    for (qsizetype i = 0; i < bytes.size(); ++i) {
        if (bytes[i] != '\n' && bytes[i] != '\r') continue;
        qsizetype endSize = 1;
        if (bytes[i] == '\r' && i + 1 < bytes.size() && bytes[i + 1] == '\n') endSize = 2;
        lines.push_back({bytes.sliced(start, i - start), bytes.sliced(i, endSize)});
        i += endSize - 1;
        start = i + 1;
    }
    if (start < bytes.size()) lines.push_back({bytes.sliced(start), {}});
    return lines;
}

// Blanks and NULs around a line go, as the reader ignores them; both are single bytes in either encoding.
QByteArrayView TrimRawLine(QByteArrayView line) {
    const auto isPad = [](char byte) { return byte == ' ' || byte == '\0'; };
    while (!line.isEmpty() && isPad(line.front()))
        line = line.sliced(1);
    while (!line.isEmpty() && isPad(line.back()))
        line.chop(1);
    return line;
}

// The star as the file's encoding writes it.
QByteArrayView StarBytes(TextEncoding encoding) {
    static constexpr std::string_view Cp932Star = "\x81\x9a";
    return encoding == TextEncoding::Cp932
               ? QByteArrayView(Cp932Star.data(), Cp932Star.size())
               : QByteArrayView(phrase_marks::Favourite.data(), phrase_marks::Favourite.size());
}

// Bytes of the CP932 character that starts with byte: a lead byte takes the next byte with it.
qsizetype Cp932CharacterBytes(char byte) {
    const auto value = static_cast<unsigned char>(byte);
    return (value >= 0x81 && value <= 0x9F) || (value >= 0xE0 && value <= 0xFC) ? 2 : 1;
}

// The header with every "★" removed and, for a favourite, one "★" at its end, edited as bytes: every other
// character keeps its bytes, so a character with two Shift-JIS forms (the IBM extensions and their NEC
// twins) is written back in the form the user chose.
QByteArray MarkedHeader(QByteArrayView header, bool favourite, TextEncoding encoding) {
    const QByteArrayView star = StarBytes(encoding);
    QByteArray marked;
    marked.reserve(header.size() + star.size());
    for (qsizetype i = 0; i < header.size();) {
        // UTF-8 needs no walk by characters: no character's bytes hold the star's bytes.
        const qsizetype size = encoding == TextEncoding::Cp932 ? Cp932CharacterBytes(header[i]) : 1;
        if (header.sliced(i).startsWith(star)) {
            i += star.size();
            continue;
        }
        const qsizetype taken = std::min(size, header.size() - i);
        marked.append(header.sliced(i, taken));
        i += taken;
    }
    // Blanks and NULs before the end read as nothing; left before a star that goes, they would make the
    // next save differ again.
    while (marked.endsWith(' ') || marked.endsWith('\0'))
        marked.chop(1);
    if (favourite) marked.append(star);
    return marked;
}

QString Decoded(QByteArrayView bytes, TextEncoding encoding) {
    return encoding == TextEncoding::Cp932 ? DecodeCp932(bytes) : QString::fromUtf8(bytes);
}

// Whether the reader takes the header for a favourite: it holds a "★".
bool HasFavouriteMark(QByteArrayView header, TextEncoding encoding) {
    return Decoded(header, encoding).contains(QChar(phrase_marks::FavouriteChar));
}

// Whether bytes read, as the reader reads any file, in the given encoding and as the given lines.
bool ReadsAs(QByteArrayView bytes, TextEncoding encoding, const QStringList& lines) {
    const DecodedText decoded = DecodeText(bytes);
    return decoded.format.encoding == encoding && SplitLines(decoded.text) == lines;
}

// A comment line that no UTF-8 reader accepts: added to a Shift-JIS file whose new bytes would otherwise
// pass for UTF-8 (all ASCII once a star is gone, or a user-defined character just before a star), so
// that it keeps reading as Shift-JIS. Comments are skipped, so the phrases read exactly as before.
const QString KeepsShiftJis = QStringLiteral("' このファイルはシフトJISで書かれています");

} // namespace

PhraseReadResult ReadPhraseFile(PhraseList& list, const QString& path) {
    list = PhraseList{};
    const QString file = TrimmedPath(path);
    const auto fail = [&list](QString error) {
        list = PhraseList{};
        return PhraseReadResult{0, std::move(error)};
    };

    const QFileInfo info(file);
    if (file.isEmpty() || !info.exists()) return fail(phrase_errors::NotFound(file));
    // A folder, a device or a pipe is no phrase file, and reading a pipe could wait for ever.
    if (!info.isFile()) return fail(phrase_errors::CannotRead(file));
    const std::optional<DecodedText> decoded = ReadTextFile(file);
    if (!decoded) return fail(phrase_errors::CannotRead(file));

    const QStringList lines = SplitLines(decoded->text);
    for (qsizetype index = 0; index < lines.size(); ++index) {
        std::string line = PrepareLine(lines[index]);
        const LineKind kind = Classify(line);
        if (kind == LineKind::Blank || kind == LineKind::Comment) continue;
        if (kind == LineKind::Header) {
            if (list.count() == phrase_limits::MaxItems) {
                return fail(phrase_errors::AtLine(file, index + 1, phrase_errors::TooManyItems()));
            }
            StartItem(list, line);
            continue;
        }
        const bool threeBeats = line.find(phrase_marks::ThreeBeats) != std::string::npos;
        // A metre line without a 3 changes nothing, so it needs no item to belong to.
        if (kind == LineKind::Metre && !threeBeats) continue;
        if (list.count() == 0) {
            return fail(phrase_errors::AtLine(file, index + 1, phrase_errors::BeforeFirstHeader(kind)));
        }
        const std::size_t current = list.PhraseNames.size() - 1;
        if (kind == LineKind::Metre) {
            list.PhraseBeats[current] = 3;
        } else if (kind == LineKind::Explanation) {
            list.PhraseComment[current] = KeptText(TrimBlanks(std::string_view(line).substr(1)));
        } else {
            std::replace(line.begin(), line.end(), '+', '#');
            std::replace(line.begin(), line.end(), '-', 'b');
            std::vector<std::string>& data = list.PhraseLines[current];
            data.push_back(std::move(line));
            if (static_cast<int>(data.size()) == phrase_limits::MaxDataLines) break;
        }
    }
    return PhraseReadResult{static_cast<std::int16_t>(list.count()), QString()};
}

bool SaveFavourites(const PhraseList& list, const QString& path) {
    const QString file = TrimmedPath(path);
    const std::optional<QByteArray> original = ReadRegularFile(file, text_limits::MaxTextFileBytes).bytes;
    if (!original) return false;
    // The same decision as the reader's, so that headers are counted on the same lines.
    const TextFormat format = DecodeText(*original).format;
    const QByteArrayView body = format.bom ? QByteArrayView(*original).sliced(Utf8Bom.size()) : *original;

    QByteArray rewritten;
    rewritten.reserve(original->size() + 3 * list.count());
    if (format.bom) rewritten.append(Utf8Bom);
    // What the new file must read as, line by line.
    QStringList intended;
    QByteArrayView lastEnd;
    // Only headers are decoded and encoded again; every other line keeps its bytes, even ones that are no
    // text in the file's encoding.
    int header = 0;
    for (const RawLine& raw : SplitRawLines(body)) {
        const QByteArrayView line = TrimRawLine(raw.content);
        // A header past the list is one the reader never reached (it stopped at a full item, or the file
        // changed since): its mark is kept as it stands rather than taken from an item it is not.
        const bool known = line.startsWith(phrase_marks::Header) && header < list.count();
        const bool favourite = known && static_cast<std::size_t>(header) < list.PhraseFavourite.size() &&
                               list.PhraseFavourite[static_cast<std::size_t>(header)] == 1;
        // Only a header whose mark changes is rewritten, and only between its padding; every other byte
        // of the user's file stays as it was.
        if (known && favourite != HasFavouriteMark(line, format.encoding)) {
            const qsizetype lead = line.data() - raw.content.data();
            const QByteArray changed = raw.content.first(lead).toByteArray() +
                                       MarkedHeader(line, favourite, format.encoding) +
                                       raw.content.sliced(lead + line.size()).toByteArray();
            rewritten.append(changed);
            // What the header means, not merely its bytes: a star after a lone lead byte would join it.
            QString meant = Decoded(line, format.encoding);
            meant.remove(QChar(phrase_marks::FavouriteChar));
            while (meant.endsWith(QLatin1Char(' ')) || meant.endsWith(QChar(u'\0')))
                meant.chop(1);
            if (favourite) meant.append(QChar(phrase_marks::FavouriteChar));
            intended.append(Decoded(raw.content.first(lead), format.encoding) + meant +
                            Decoded(raw.content.sliced(lead + line.size()), format.encoding));
        } else {
            rewritten.append(raw.content);
            intended.append(Decoded(raw.content, format.encoding));
        }
        if (line.startsWith(phrase_marks::Header)) ++header;
        rewritten.append(raw.end);
        if (!raw.end.isEmpty()) lastEnd = raw.end;
    }
    if (!ReadsAs(rewritten, format.encoding, intended) && format.encoding == TextEncoding::Cp932) {
        const QByteArrayView end = lastEnd.isEmpty() ? QByteArrayView("\r\n") : lastEnd;
        if (!rewritten.endsWith(end)) rewritten.append(end);
        rewritten.append(*EncodeCp932(KeepsShiftJis));
        rewritten.append(end);
        intended.append(KeepsShiftJis);
    }
    // Never write what would read as anything but what was meant.
    if (!ReadsAs(rewritten, format.encoding, intended)) return false;
    if (rewritten == *original) return true;
    return WriteFileAtomic(file, rewritten);
}

} // namespace orbel
