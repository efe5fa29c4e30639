#include "datafiles/lead_sheet_link.h"

#include "datafiles/bounded_read.h"
#include "datafiles/chart_notation.h"
#include "datafiles/chart_unscramble.h"
#include "datafiles/lead_sheet_marks.h"
#include "datafiles/link_text.h"
#include "datafiles/text_encoding.h"
#include "theory/note_names.h"

#include <QStringList>
#include <optional>
#include <string_view>

namespace orbel {

namespace {

// Where a tune's fields stand around its chart in the newer form: title, composer, a field no longer used,
// style, key, a transposition, the chart, then the accompaniment, tempo and repeats.
namespace scrambled_fields {
static constexpr qsizetype Title = -6;
static constexpr qsizetype Composer = -5;
static constexpr qsizetype Style = -3;
static constexpr qsizetype Key = -2;
static constexpr qsizetype Last = 3; // the repeats
} // namespace scrambled_fields

// The older form: title, composer, style, key, "n", chart; the "n" marks a tune.
namespace plain_fields {
static constexpr std::u16string_view Marker = u"n";
static constexpr qsizetype Title = -4;
static constexpr qsizetype Composer = -3;
static constexpr qsizetype Style = -2;
static constexpr qsizetype Key = -1;
static constexpr qsizetype Chart = 1;
// The fewest fields from one marker to the next: a tune's six, less the marker's own place.
static constexpr qsizetype Apart = 6;
} // namespace plain_fields

// Tunes joined by "===" leave two empty fields between them; the playlist's name follows the last two.
static constexpr qsizetype JoinFields = 2;

static constexpr std::u16string_view SortedArticle = u", The";

// A tune's fields as the link writes them.
struct LinkTune {
    QString title;
    QString composer;
    QString style;
    QString key;
    QString chart; // plain chart notation, or the scrambled body after its mark
    bool scrambled = false;
    QString error; // the link lost this tune's fields: it cannot be read
};

QString Quote(QStringView text) {
    return QStringLiteral("\u201c%1\u201d").arg(text);
}

// "Song, The" is how the links sort titles; the tune reads "The Song".
QString TitleAsSung(QStringView title) {
    const QStringView trimmed = title.trimmed();
    if (!trimmed.endsWith(QStringView(SortedArticle))) return trimmed.toString();
    return QStringLiteral("The ") +
           trimmed.chopped(static_cast<qsizetype>(SortedArticle.size())).trimmed().toString();
}

// "Coltrane John" is written last name first for sorting; "Ellington Duke, Strayhorn Billy" names two. A
// name in brackets or with other signs is kept as written: the order of its words cannot be told.
QString ComposerAsNamed(QStringView composer) {
    const QString written = composer.toString().simplified();
    for (const QChar ch : written)
        if (!ch.isLetter() && ch != u' ' && ch != u',' && ch != u'-' && ch != u'.' && ch != u'\'')
            return written;
    QStringList people = written.split(u',', Qt::SkipEmptyParts);
    for (QString& person : people) {
        QStringList words = person.split(u' ', Qt::SkipEmptyParts);
        if (words.size() >= 2) words.append(words.takeFirst());
        person = words.join(u' ');
    }
    return people.join(QStringLiteral(", "));
}

struct KeyOfTune {
    int tonic = 0;
    bool minor = false;
    bool flat = false;
};

// "Eb", "F#-" (minor), "C".
std::optional<KeyOfTune> ReadKey(QStringView written) {
    const bool minor = written.endsWith(u'-');
    const QStringView name = minor ? written.chopped(1) : written;
    if (name.isEmpty() || name.size() > 2 || name[0] < u'A' || name[0] > u'G') return std::nullopt;
    if (name.size() == 2 && name[1] != u'b' && name[1] != u'#') return std::nullopt;
    const std::optional<ChordSymbol> root = ParseChordSymbol(name.toString().toStdString());
    if (!root) return std::nullopt;
    const bool flat = name.size() == 2 ? name[1] == u'b' : KeyUsesFlats(root->root, minor ? 0 : 1);
    return KeyOfTune{root->root, minor, flat};
}

QString FieldAt(const QStringList& fields, qsizetype index) {
    return index >= 0 && index < fields.size() ? fields[index] : QString();
}

// The name a playlist gives itself after its last tune's fields, or "".
QString PlaylistName(const QStringList& fields, qsizetype lastField) {
    const qsizetype name = lastField + 1 + JoinFields;
    if (name >= fields.size() || !fields[lastField + 1].isEmpty() || !fields[lastField + 2].isEmpty())
        return {};
    return fields.sliced(name).join(u'=').trimmed();
}

// The tunes of a newer-form link, found by their charts' mark; the other fields stand at fixed places around
// it, so that an empty field moves nothing.
std::vector<LinkTune> ScrambledTunes(const QStringList& fields, QString& playlist) {
    std::vector<LinkTune> tunes;
    qsizetype next = 0; // the first field not yet given to a tune
    for (qsizetype at = 0; at < fields.size(); ++at) {
        if (!fields[at].startsWith(QStringView(chart_scramble::Mark))) continue;
        LinkTune tune;
        tune.scrambled = true;
        tune.title = FieldAt(fields, at + scrambled_fields::Title);
        tune.composer = FieldAt(fields, at + scrambled_fields::Composer);
        tune.style = FieldAt(fields, at + scrambled_fields::Style);
        tune.key = FieldAt(fields, at + scrambled_fields::Key);
        tune.chart = fields[at].sliced(static_cast<qsizetype>(chart_scramble::Mark.size()));
        if (at + scrambled_fields::Title > next + JoinFields && !tunes.empty())
            tunes.push_back({FieldAt(fields, next + JoinFields),
                             {},
                             {},
                             {},
                             {},
                             true,
                             QStringLiteral("the link holds its fields but not its chart.")});
        if (at + scrambled_fields::Title < next)
            tune.error = QStringLiteral("the link lacks the fields before its chart.");
        else if (at + scrambled_fields::Last >= fields.size())
            tune.error = QStringLiteral("the link ends within it: it was cut short.");
        next = at + scrambled_fields::Last + 1;
        tunes.push_back(std::move(tune));
    }
    if (!tunes.empty()) playlist = PlaylistName(fields, next - 1);
    return tunes;
}

// The tunes of an older-form link, found by their "n" fields.
std::vector<LinkTune> PlainTunes(const QStringList& fields, QString& playlist) {
    std::vector<LinkTune> tunes;
    qsizetype last = -1;
    for (qsizetype at = -plain_fields::Title; at < fields.size(); ++at) {
        if (fields[at] != QStringView(plain_fields::Marker)) continue;
        LinkTune tune;
        tune.title = fields[at + plain_fields::Title];
        tune.composer = fields[at + plain_fields::Composer];
        tune.style = fields[at + plain_fields::Style];
        tune.key = fields[at + plain_fields::Key];
        tune.chart = FieldAt(fields, at + plain_fields::Chart);
        if (at + plain_fields::Chart >= fields.size())
            tune.error = QStringLiteral("the link ends within it: it was cut short.");
        tunes.push_back(std::move(tune));
        last = at + plain_fields::Chart;
        at += plain_fields::Apart - 1;
    }
    if (!tunes.empty()) playlist = PlaylistName(fields, last);
    return tunes;
}

// The bars of a tune's chart, unscrambled when the link scrambled it. A scrambled chart that reads only as it
// stands was never scrambled: the link was made wrongly or damaged.
ChartBars ChartOf(const LinkTune& tune) {
    if (tune.chart.size() > lead_sheet_limits::MaxChartChars)
        return {{}, 4, QStringLiteral("its chart is longer than any lead sheet.")};
    if (!tune.scrambled) return ReadChartNotation(tune.chart);
    ChartBars chart = ReadChartNotation(ExpandShortForms(UnscrambleChart(tune.chart)));
    if (!chart.error.isEmpty() && ReadChartNotation(ExpandShortForms(tune.chart)).error.isEmpty())
        chart.error =
            QStringLiteral("its chart is not scrambled as the link's form asks: the link is damaged.");
    return chart;
}

// The tune, or why not (without its name).
std::optional<Tune> TuneOf(const LinkTune& written, QString& error) {
    if (!written.error.isEmpty()) {
        error = written.error;
        return std::nullopt;
    }
    const std::optional<KeyOfTune> key = ReadKey(written.key.trimmed());
    if (!key) {
        error = QStringLiteral("its key %1 is not a key.").arg(Quote(written.key));
        return std::nullopt;
    }
    ChartBars chart = ChartOf(written);
    if (!chart.error.isEmpty()) {
        error = chart.error;
        return std::nullopt;
    }
    Tune tune;
    tune.title = KeptText(TitleAsSung(written.title));
    tune.composer = KeptText(ComposerAsNamed(written.composer));
    tune.style = KeptText(written.style);
    tune.key = key->tonic;
    tune.minorKey = key->minor;
    tune.flatKey = key->flat;
    tune.timeTop = chart.timeTop;
    tune.bars = std::move(chart.bars);
    return tune;
}

// Gathers what was read and, a line each, what was not.
class Gathered {
public:
    void add(const LinkTune& written) {
        ++seen_;
        QString why;
        if (std::optional<Tune> tune = TuneOf(written, why)) {
            result_.tunes.push_back(std::move(*tune));
            return;
        }
        const QString title = written.title.trimmed();
        fail(QStringLiteral("The tune %1 was not read: %2")
                 .arg(title.isEmpty() ? QStringLiteral("number %1").arg(seen_) : Quote(title), why));
    }
    void fail(const QString& line) {
        if (++failures_ <= lead_sheet_limits::MostNamedFailures) lines_ << line;
    }
    bool full() const { return seen_ >= lead_sheet_limits::MaxTunes; }
    LeadSheetLinks take() {
        const int unnamed = failures_ - lead_sheet_limits::MostNamedFailures;
        if (unnamed > 0) lines_ << QStringLiteral("%1 more tunes were not read.").arg(unnamed);
        if (full())
            lines_ << QStringLiteral("Only the first %1 tunes were read.").arg(lead_sheet_limits::MaxTunes);
        result_.error = lines_.join(u'\n');
        return std::move(result_);
    }
    LeadSheetLinks& result() { return result_; }

private:
    LeadSheetLinks result_;
    QStringList lines_;
    int seen_ = 0;
    int failures_ = 0;
};

} // namespace

LeadSheetLinks ParseLeadSheetLinks(QStringView text) {
    Gathered gathered;
    const std::vector<FoundLink> links = FindLeadSheetLinks(text);
    if (links.empty()) gathered.fail(QStringLiteral("The text holds no lead-sheet link."));
    for (const FoundLink& link : links) {
        if (!link.error.isEmpty()) {
            gathered.fail(link.error);
            continue;
        }
        const QStringList fields = link.fields.split(u'=');
        QString playlist;
        const std::vector<LinkTune> tunes =
            link.scrambled ? ScrambledTunes(fields, playlist) : PlainTunes(fields, playlist);
        if (tunes.empty()) gathered.fail(QStringLiteral("A link holds no tune: it is damaged or cut short."));
        if (!playlist.isEmpty() && gathered.result().playlistName.isEmpty())
            gathered.result().playlistName = QString::fromStdString(KeptText(playlist));
        for (const LinkTune& tune : tunes) {
            if (gathered.full()) return gathered.take();
            gathered.add(tune);
        }
    }
    return gathered.take();
}

LeadSheetLinks ReadLeadSheetFile(const QString& path) {
    const BoundedRead read = ReadRegularFile(path, lead_sheet_limits::MaxFileBytes);
    if (!read.bytes)
        return {{}, {}, LeadSheetFileRefusal(path, read.failure, lead_sheet_limits::MaxFileBytes)};
    return ParseLeadSheetLinks(DecodeBytes(*read.bytes));
}

} // namespace orbel
