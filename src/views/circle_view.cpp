#include "views/circle_view.h"

#include "theory/kihon.h"
#include "theory/note_names.h"
#include "theory/vocabulary.h"
#include "views/colour.h"
#include "views/surface.h"

#include <QString>
#include <algorithm>
#include <cmath>
#include <numbers>
#include <vector>

namespace orbel {

namespace {

constexpr std::size_t Disk = 0;
constexpr std::size_t Polygon = 1;
constexpr std::size_t Root = 2;
constexpr std::size_t ChordTone = 3;
constexpr double CentreDot = 100;
constexpr double PolygonFillUp = 150;
constexpr double MarkerRadius = 300;
constexpr std::size_t PatternCharacters = 8;
const QString Mincho = QStringLiteral("ＭＳ 明朝");

QPointF At(const CircleGeometry& g, int xSet, int ySet, int pitchClass) {
    const auto p = static_cast<std::size_t>(((pitchClass % 12) + 12) % 12);
    return {g[static_cast<std::size_t>(xSet)][p], g[static_cast<std::size_t>(ySet)][p]};
}

void Circle(Surface& s, double x, double y, double radius) {
    s.setForeColor(bgr::Black);
    s.arc(x, y, radius, radius, 0, 2 * std::numbers::pi);
}

QString Degree(int semitones) {
    if (semitones < 0 || semitones >= 12) return {};
    return QString::fromUtf8(NoteNameCell(semitones, NameColumn::Degree));
}

void ScaleOrChord(Surface& s, const CirclePlace& place, const CircleGeometry& g, const CircleContent& c) {
    int interval = 0;
    int pc = c.rootKey;
    for (const char ch : c.steps) {
        interval = StepInterval(ch, interval);
        const int next = (pc + interval) % 12;
        const QPointF a = At(g, circle_sets::RimX, circle_sets::RimY, pc);
        const QPointF b = At(g, circle_sets::RimX, circle_sets::RimY, next);
        s.setForeColor(bgr::Black);
        s.line(a.x(), a.y(), b.x(), b.y());
        pc = next;
    }
    s.FloodFillForm(place.centreX, place.centreY + PolygonFillUp, bgr::Black, c.colours[Polygon]);
    s.SetFormFont(Mincho, place.degreeSize, false, false);
    const QPointF first = At(g, circle_sets::OuterRingX, circle_sets::OuterRingY, c.rootKey);
    s.PrintTextFlat(first.x(), first.y(), Degree(0), bgr::Black);
    interval = 0;
    int e = c.rootKey;
    for (const char ch : c.steps) {
        interval = StepInterval(ch, interval);
        e += interval;
        const QPointF at = At(g, circle_sets::OuterRingX, circle_sets::OuterRingY, e);
        s.PrintTextFlat(at.x(), at.y(), Degree(e - c.rootKey), bgr::Black);
    }
}

void Pattern(Surface& s, const CirclePlace& place, const CircleGeometry& g, const CircleContent& c) {
    const double r = place.radius;
    Circle(s, place.centreX, place.centreY, pattern_rings::OuterEdge * r);
    Circle(s, place.centreX, place.centreY, pattern_rings::InnerEdge * r);
    for (int p = 1; p <= 12; ++p) {
        const auto i = static_cast<std::size_t>(p);
        s.line(g[circle_sets::RimX][i], g[circle_sets::RimY][i], place.centreX, place.centreY);
    }
    s.SetFormFont(Mincho, place.degreeSize, true, false);
    const struct {
        int ring;
        int offset;
    } chords[] = {{circle_sets::InnerRingX, 2},
                  {circle_sets::MiddleRingX, c.fifthIsFlatSecond ? 1 : 7},
                  {circle_sets::OuterRingX, 0}};
    for (std::size_t k = 0; k < 3; ++k) {
        const std::string scale = c.chordScales[k].substr(0, PatternCharacters);
        std::vector<QString> labels;
        for (std::size_t d = 1; d <= scale.size(); ++d) {
            const int v = std::clamp(DigitValue(scale[d - 1]), 0, 35);
            const QString label = Degree(v % 12);
            if (d > 1 && std::find(labels.begin(), labels.end(), label) != labels.end()) break;
            labels.push_back(label);
            const int pc = c.rootKey + v + chords[k].offset;
            const QPointF at = At(g, chords[k].ring, chords[k].ring + 1, pc);
            const bool played = c.patternDigits.find(std::to_string(d)) != std::string::npos;
            const std::uint32_t fill = d == 1   ? c.colours[Root]
                                       : played ? c.colours[ChordTone]
                                                : c.colours[Disk];
            const CirclePoint seed = PatternCellCentre(place, chords[k].ring, ((pc % 12) + 12) % 12);
            s.FloodFillForm(seed.x, seed.y, bgr::Black, fill);
            s.PrintTextFlat(at.x(), at.y(), label, bgr::Black);
        }
    }
}

void PhraseRoot(Surface& s, const CircleGeometry& g, const CircleContent& c) {
    const QPointF at = At(g, circle_sets::MarkerX, circle_sets::MarkerY, c.rootKey);
    Circle(s, at.x(), at.y(), MarkerRadius);
    s.FloodFillForm(at.x(), at.y(), bgr::Black, c.colours[Root]);
}

constexpr std::size_t Played = 4;
constexpr std::uint32_t MarkerColour = 0x008080; // dark yellow, shown by exclusive or
constexpr int MarkerWidth = 2;
constexpr double MarkerShare = 0.25; // of the radius

void XorRing(Surface& s, const CirclePlace& place, double x, double y) {
    s.setXorPen(true);
    s.setDrawWidth(MarkerWidth);
    s.setForeColor(MarkerColour);
    s.arc(x, y, MarkerShare * place.radius, MarkerShare * place.radius, 0, 2 * std::numbers::pi);
    s.setDrawWidth(1);
    s.setXorPen(false);
}

} // namespace

void CirclePlayMarker::show(Surface& s, const CircleDiagram& d, int tick, bool first) {
    const CircleContent& c = d.content;
    if (!c.shown || c.studyType > 2) return;
    if (first) last_.reset();
    const auto marker = std::find_if(c.markers.begin(), c.markers.end(),
                                     [tick](const CircleContent::Marker& m) { return m.tick == tick; });
    if (marker == c.markers.end()) return;
    if (c.studyType == 2) {
        // The cell before goes back to exactly what it was, whatever colour its role gave it.
        s.UndoFill(cell_);
        cell_.pixels.clear();
        if (const std::optional<PatternCell> cell = PatternCellAt(d.points, marker->x, marker->y)) {
            const CirclePoint seed = PatternCellCentre(d.place, cell->ringSet, cell->pitchClass);
            s.FloodFillForm(seed.x, seed.y, bgr::Black, c.colours[Played], &cell_);
        }
    } else {
        if (last_) XorRing(s, d.place, last_->x, last_->y);
        XorRing(s, d.place, marker->x, marker->y);
    }
    last_ = *marker;
}

void CirclePlayMarker::end(Surface& s, const CircleDiagram& d) {
    const CircleContent& c = d.content;
    if (!c.shown || c.studyType > 2) return;
    if (c.studyType == 2) {
        s.UndoFill(cell_);
        cell_.pixels.clear();
    } else if (last_) {
        XorRing(s, d.place, last_->x, last_->y);
    }
    last_.reset();
}

void DrawCircleDiagram(Surface& s, const CirclePlace& place, const CircleGeometry& g,
                       const CircleContent& c) {
    if (!c.shown) return;
    s.SaveFormFont();
    Circle(s, place.centreX, place.centreY, place.radius);
    s.FloodFillForm(place.centreX, place.centreY, bgr::Black, c.colours[Disk]);
    s.setForeColor(bgr::Black);
    s.disc(place.centreX, place.centreY, CentreDot);

    const bool flats = KeyUsesFlats(c.rootKey, c.majorSpelling);
    s.SetFormFont(Mincho, place.nameSize, false, false);
    for (int p = 0; p < 12; ++p) {
        const QPointF at = At(g, circle_sets::NameX, circle_sets::NameY, p);
        s.PrintTextFlat(at.x(), at.y(),
                        QString::fromUtf8(NoteNameCell(p, flats ? NameColumn::Flat : NameColumn::Sharp)),
                        bgr::Black);
    }
    if (c.studyType <= 1) {
        ScaleOrChord(s, place, g, c);
    } else if (c.studyType == 2) {
        Pattern(s, place, g, c);
    } else {
        PhraseRoot(s, g, c);
    }
    s.RestoreFormFont();
}

} // namespace orbel
