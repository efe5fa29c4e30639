#include "datafiles/narrow_text.h"

#include <array>
#include <string_view>

namespace orbel {

namespace {

constexpr std::u16string_view FullWidthKana = u"アイウエオカキクケコサシスセソタチツテトナニヌネノハヒフヘホ"
                                              u"マミムメモヤユヨラリルレロワヲンァィゥェォッャュョー－";
// The last two are ASCII hyphens; the symbol step has already turned ー and － into hyphens, so they never
// match here.
constexpr std::u16string_view HalfWidthKana = u"ｱｲｳｴｵｶｷｸｹｺｻｼｽｾｿﾀﾁﾂﾃﾄﾅﾆﾇﾈﾉﾊﾋﾌﾍﾎﾏﾐﾑﾒﾓﾔﾕﾖﾗﾘﾙﾚﾛﾜｦﾝｧｨｩｪｫｯｬｭｮ--";
static_assert(FullWidthKana.size() == 57 && HalfWidthKana.size() == FullWidthKana.size());

constexpr std::u16string_view VoicedKana = u"ガギグゲゴザジズゼゾダヂヅデドバビブベボパピプペポ";
constexpr std::u16string_view VoicedBases = u"ｶｷｸｹｺｻｼｽｾｿﾀﾁﾂﾃﾄﾊﾋﾌﾍﾎﾊﾋﾌﾍﾎ";
static_assert(VoicedKana.size() == 25 && VoicedBases.size() == VoicedKana.size());
// The first 20 voiced kana take the voiced mark, the last 5 (パ..ポ) the semi-voiced mark.
constexpr std::size_t VoicedMarkCount = 20;
constexpr char16_t VoicedMark = u'ﾞ';
constexpr char16_t SemiVoicedMark = u'ﾟ';

struct SymbolSwap {
    char16_t wide;
    char16_t narrow;
};

constexpr std::array<SymbolSwap, 12> Symbols = {{
    {u'＋', u'+'},
    {u'ー', u'-'},
    {u'－', u'-'},
    {u'＊', u'*'},
    {u'、', u','},
    {u'＝', u'='},
    {u'＆', u'&'},
    {u'％', u'%'},
    {u'＃', u'#'},
    {u'　', u' '},
    {u'）', u')'},
    {u'（', u'('},
}};

// Ranges of full-width Latin letters and digits and the ASCII they stand for.
struct WideRange {
    char16_t first;
    char16_t last;
    char16_t narrowFirst;
};

constexpr std::array<WideRange, 3> LatinRanges = {{
    {u'Ａ', u'Ｚ', u'A'},
    {u'ａ', u'ｚ', u'a'},
    {u'０', u'９', u'0'},
}};

QString TrimBlanks(const QString& text) {
    qsizetype first = 0;
    qsizetype end = text.size();
    while (first < end && text.at(first) == u' ')
        ++first;
    while (end > first && text.at(end - 1) == u' ')
        --end;
    return text.sliced(first, end - first);
}

char16_t NarrowLatin(char16_t ch) {
    for (const WideRange& range : LatinRanges) {
        if (ch >= range.first && ch <= range.last)
            return static_cast<char16_t>(range.narrowFirst + (ch - range.first));
    }
    return ch;
}

char16_t NarrowSymbol(char16_t ch) {
    for (const SymbolSwap& swap : Symbols) {
        if (ch == swap.wide) return swap.narrow;
    }
    return ch;
}

// Appends the half-width form of one character after the Latin and symbol steps.
void AppendNarrowKana(char16_t ch, QString& out) {
    if (const std::size_t at = FullWidthKana.find(ch); at != std::u16string_view::npos) {
        out.append(QChar(HalfWidthKana[at]));
    } else if (const std::size_t voiced = VoicedKana.find(ch); voiced != std::u16string_view::npos) {
        out.append(QChar(VoicedBases[voiced]));
        out.append(QChar(voiced < VoicedMarkCount ? VoicedMark : SemiVoicedMark));
    } else {
        out.append(QChar(ch));
    }
}

} // namespace

QString NarrowText(const QString& text) {
    const QString trimmed = TrimBlanks(text);
    QString out;
    out.reserve(trimmed.size() * 2);
    // Each step maps one character to characters the later steps leave alone, so one pass does all three in
    // their order.
    for (const QChar ch : trimmed) {
        AppendNarrowKana(NarrowSymbol(NarrowLatin(ch.unicode())), out);
    }
    return out;
}

} // namespace orbel
