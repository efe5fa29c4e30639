#include "datafiles/text_encoding.h"

#include "datafiles/atomic_save.h"
#include "datafiles/bounded_read.h"

#include <QStringDecoder>
#include <algorithm>
#include <array>
#include <bit>
#include <cerrno>
#include <cstdint>
#include <cstring>
#include <iconv.h>

namespace orbel {

namespace {

static constexpr char16_t ReplacementChar = u'\uFFFD';
static constexpr std::size_t IconvFailed = static_cast<std::size_t>(-1);
static constexpr const char* Cp932Name = "CP932";
static constexpr std::uint64_t AsciiHighBits = 0x8080808080808080U;
// QString's own code units in the machine's byte order, so that no byte-order mark is produced or expected.
static constexpr const char* Utf16Name = std::endian::native == std::endian::little ? "UTF-16LE" : "UTF-16BE";

// One iconv conversion descriptor, closed when it goes out of scope.
class IconvConverter {
public:
    IconvConverter(const char* to, const char* from) : handle_(iconv_open(to, from)) {}
    ~IconvConverter() {
        // iconv_close fails only for a descriptor that iconv_open did not give, which valid() excludes.
        if (valid()) iconv_close(handle_);
    }
    IconvConverter(const IconvConverter&) = delete;
    IconvConverter& operator=(const IconvConverter&) = delete;

    bool valid() const { return handle_ != reinterpret_cast<iconv_t>(-1); }

    // One conversion step; returns errno (0 on success). Advances the pointers as iconv does.
    int convert(char** in, std::size_t* inLeft, char** out, std::size_t* outLeft) {
        errno = 0;
        if (iconv(handle_, in, inLeft, out, outLeft) == IconvFailed) return errno != 0 ? errno : EINVAL;
        return 0;
    }
    // Brings the converter back to its initial state and writes any pending shift sequence.
    int flush(char** out, std::size_t* outLeft) {
        errno = 0;
        if (iconv(handle_, nullptr, nullptr, out, outLeft) == IconvFailed) return errno != 0 ? errno : EINVAL;
        return 0;
    }

private:
    iconv_t handle_;
};

// Length of the UTF-8 sequence starting at bytes[i], or 0 when it is malformed.
qsizetype Utf8SequenceLength(QByteArrayView bytes, qsizetype i) {
    const auto lead = static_cast<unsigned char>(bytes[i]);
    if (lead < 0x80) return 1;
    qsizetype length = 0;
    unsigned char low = 0x80; // allowed range of the second byte, to exclude overlongs and surrogates
    unsigned char high = 0xBF;
    if (lead >= 0xC2 && lead <= 0xDF) {
        length = 2;
    } else if (lead >= 0xE0 && lead <= 0xEF) {
        length = 3;
        if (lead == 0xE0) low = 0xA0;
        if (lead == 0xED) high = 0x9F;
    } else if (lead >= 0xF0 && lead <= 0xF4) {
        length = 4;
        if (lead == 0xF0) low = 0x90;
        if (lead == 0xF4) high = 0x8F;
    } else {
        return 0;
    }
    if (i + length > bytes.size()) return 0;
    const auto second = static_cast<unsigned char>(bytes[i + 1]);
    if (second < low || second > high) return 0;
    for (qsizetype k = 2; k < length; ++k) {
        if ((static_cast<unsigned char>(bytes[i + k]) & 0xC0) != 0x80) return 0;
    }
    return length;
}

bool StartsWithBom(QByteArrayView bytes) {
    return bytes.startsWith(QByteArrayView(text_bytes::Utf8Bom.data(), text_bytes::Utf8Bom.size()));
}

// Every CR LF becomes "\n", in place. The CRs are found by indexOf, which runs far faster over a long line
// than a comparison of every character.
void FoldCrLf(QString& text) {
    qsizetype from = text.indexOf(QLatin1Char('\r'));
    if (from < 0) return;
    QChar* data = text.data();
    const qsizetype size = text.size();
    qsizetype to = from;
    // data[from] is a CR; what lies before `to` is done, and `to` never passes `from`.
    while (from < size) {
        const qsizetype next = text.indexOf(QLatin1Char('\r'), from + 1);
        const qsizetype end = next < 0 ? size : next;
        const qsizetype start = from + 1 < size && data[from + 1] == QLatin1Char('\n') ? from + 1 : from;
        std::copy(data + start, data + end, data + to);
        to += end - start;
        from = end;
    }
    text.truncate(to);
}

} // namespace

bool IsValidUtf8(QByteArrayView bytes) {
    qsizetype i = 0;
    while (i < bytes.size()) {
        // Runs of ASCII, most of any file, are passed eight bytes at a time.
        std::uint64_t eight = 0;
        if (i + static_cast<qsizetype>(sizeof eight) <= bytes.size()) {
            std::memcpy(&eight, bytes.data() + i, sizeof eight);
            if ((eight & AsciiHighBits) == 0) {
                i += sizeof eight;
                continue;
            }
        }
        const qsizetype length = Utf8SequenceLength(bytes, i);
        if (length == 0) return false;
        i += length;
    }
    return true;
}

QString DecodeCp932(QByteArrayView bytes) {
    QString result;
    if (bytes.isEmpty()) return result;
    IconvConverter converter(Utf16Name, Cp932Name);
    if (!converter.valid()) {
        // Without the converter only ASCII can be trusted; everything else is marked as unreadable.
        result.reserve(bytes.size());
        for (const char byte : bytes) {
            const auto value = static_cast<unsigned char>(byte);
            result.append(QChar(value < 0x80 ? char16_t{value} : ReplacementChar));
        }
        return result;
    }

    // A CP932 character is one or two bytes and always a single UTF-16 unit, and an unreadable byte becomes
    // one U+FFFD: the text never has more units than the input has bytes.
    result.resize(bytes.size());
    char* in = const_cast<char*>(bytes.data()); // iconv's signature; it only reads the input
    std::size_t inLeft = static_cast<std::size_t>(bytes.size());
    char* outStart = reinterpret_cast<char*>(result.data());
    char* out = outStart;
    std::size_t outLeft = static_cast<std::size_t>(result.size()) * sizeof(char16_t);

    const auto appendReplacement = [&] {
        if (outLeft < sizeof(char16_t)) return false;
        const char16_t unit = ReplacementChar;
        const auto* unitBytes = reinterpret_cast<const char*>(&unit);
        std::copy(unitBytes, unitBytes + sizeof(unit), out);
        out += sizeof(unit);
        outLeft -= sizeof(unit);
        return true;
    };

    while (inLeft > 0) {
        const int error = converter.convert(&in, &inLeft, &out, &outLeft);
        if (error == 0) break;
        if (error == EILSEQ || error == EINVAL) {
            // Not CP932 here (or cut short at the end): mark one byte and go on after it.
            if (!appendReplacement()) break;
            ++in;
            --inLeft;
            continue;
        }
        break; // E2BIG cannot happen by the bound above; stop rather than loop
    }
    result.resize(static_cast<qsizetype>((out - outStart) / static_cast<std::ptrdiff_t>(sizeof(char16_t))));
    return result;
}

std::optional<QByteArray> EncodeCp932(QStringView text) {
    if (text.isEmpty()) return QByteArray();
    IconvConverter converter(Cp932Name, Utf16Name);
    if (!converter.valid()) return std::nullopt;

    // Every UTF-16 unit becomes at most two CP932 bytes.
    QByteArray result(text.size() * 2, Qt::Uninitialized);
    char* in = reinterpret_cast<char*>(const_cast<QChar*>(text.data()));
    std::size_t inLeft = static_cast<std::size_t>(text.size()) * sizeof(char16_t);
    char* out = result.data();
    std::size_t outLeft = static_cast<std::size_t>(result.size());
    // Any failure, an unencodable character above all, fails the whole text: never a silent substitute.
    if (converter.convert(&in, &inLeft, &out, &outLeft) != 0 || inLeft != 0) return std::nullopt;
    if (converter.flush(&out, &outLeft) != 0) return std::nullopt;
    result.resize(out - result.data());
    return result;
}

QString DecodeBytes(QByteArrayView bytes) {
    if (IsValidUtf8(bytes)) return QString::fromUtf8(bytes);
    return DecodeCp932(bytes);
}

namespace {

// UTF-8 as it stands: a byte-order mark that follows the file's own (or stands in a file without one) is a
// character of the text, kept so that writing the text back gives the same bytes.
QString Utf8Text(QByteArrayView bytes) {
    QStringDecoder decoder(QStringDecoder::Utf8, QStringDecoder::Flag::ConvertInitialBom);
    return decoder.decode(bytes);
}

} // namespace

DecodedText DecodeText(QByteArrayView bytes) {
    DecodedText decoded;
    const bool bom = StartsWithBom(bytes);
    const QByteArrayView body = bom ? bytes.sliced(text_bytes::Utf8Bom.size()) : bytes;
    if (IsValidUtf8(body)) {
        decoded.format.encoding = TextEncoding::Utf8;
        decoded.format.bom = bom;
        decoded.text = Utf8Text(body);
    } else {
        // Not UTF-8 after all, BOM or not: reading every byte as CP932 lets the file be written back as it
        // was.
        decoded.format.encoding = TextEncoding::Cp932;
        decoded.text = DecodeCp932(bytes);
    }
    // The first line end decides; only a CR LF file has its CR LF folded, so every file reads back exactly.
    const qsizetype firstLf = decoded.text.indexOf(QLatin1Char('\n'));
    decoded.format.crlf = firstLf < 0 || (firstLf > 0 && decoded.text[firstLf - 1] == QLatin1Char('\r'));
    if (decoded.format.crlf) FoldCrLf(decoded.text);
    return decoded;
}

std::optional<QByteArray> EncodeText(QStringView text, const TextFormat& format) {
    QString body = text.toString();
    if (format.crlf) body.replace(QLatin1Char('\n'), QLatin1String("\r\n"));

    QByteArray bytes;
    if (format.bom) bytes.append(text_bytes::Utf8Bom.data(), text_bytes::Utf8Bom.size());
    if (format.encoding == TextEncoding::Cp932) {
        const std::optional<QByteArray> encoded = EncodeCp932(body);
        if (!encoded) return std::nullopt;
        bytes.append(*encoded);
    } else {
        // A lone surrogate has no UTF-8 form; writing '?' in its place would corrupt the file.
        if (!QStringView(body).isValidUtf16()) return std::nullopt;
        bytes.append(body.toUtf8());
    }
    // Bytes that a reader would take for something else (Shift-JIS that happens to be UTF-8) are refused
    // rather than written.
    if (DecodeText(bytes).text != text) return std::nullopt;
    return bytes;
}

std::optional<DecodedText> ReadTextFile(const QString& path, qint64 maxBytes) {
    const BoundedRead file = ReadRegularFile(path, maxBytes);
    if (!file.bytes) return std::nullopt;
    return DecodeText(*file.bytes);
}

QList<QStringView> LineViews(QStringView text) {
    QList<QStringView> lines;
    const qsizetype size = text.size();
    // The next LF and the next CR at or after start (−1: none left), each searched for again only once
    // passed, so that a long line is crossed at indexOf's pace and no character is looked at twice.
    qsizetype nextLf = text.indexOf(u'\n');
    qsizetype nextCr = text.indexOf(u'\r');
    qsizetype start = 0;
    while (start < size) {
        if (nextLf >= 0 && nextLf < start) nextLf = text.indexOf(u'\n', start);
        if (nextCr >= 0 && nextCr < start) nextCr = text.indexOf(u'\r', start);
        const qsizetype end = nextLf < 0 ? nextCr : nextCr < 0 ? nextLf : std::min(nextLf, nextCr);
        if (end < 0) {
            lines.append(text.sliced(start));
            break;
        }
        lines.append(text.sliced(start, end - start));
        const bool crLf = end == nextCr && end + 1 < size && text[end + 1] == u'\n';
        start = end + (crLf ? 2 : 1);
    }
    return lines;
}

QStringList SplitLines(const QString& text) {
    QStringList lines;
    for (const QStringView line : LineViews(text))
        lines.append(line.toString());
    return lines;
}

bool WriteTextFileAtomic(const QString& path, QStringView text, const TextFormat& format) {
    const std::optional<QByteArray> bytes = EncodeText(text, format);
    return bytes && WriteFileAtomic(path, *bytes);
}

} // namespace orbel
