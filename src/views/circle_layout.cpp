#include "views/circle_layout.h"

#include <cmath>

namespace orbel {

namespace {

constexpr double Pi = 3.14;                // as the diagram has always been drawn
constexpr double PatternTurn = 47.1 / 180; // fifteen degrees, for the II–V–I pattern's rings
constexpr int Pattern = 2;
constexpr int Phrases = 3;

} // namespace

CirclePlace CircleLayout(const CircleFrame& f, const CirclePlace& previous) {
    const double H = f.windowHeight;
    const double L = f.frame2Left;
    const bool wide = f.layoutMode == 1;
    if (f.studyType >= Phrases) return {0.1 * H, (wide ? 0.8 : 0.7) * L, (wide ? 0.3 : 0.4) * H, 16, 8};
    const auto shown = [](int flag) { return flag == -1; };
    const auto hidden = [](int flag) { return flag == 0; };
    if (shown(f.showScore) && shown(f.showKeyboard))
        return wide ? CirclePlace{0.22 * H, 0.45 * L, 0.5 * H, 20, 12}
                    : CirclePlace{0.2 * H, 0.45 * L, 0.5 * H, 18, 10};
    if (hidden(f.showScore) && shown(f.showKeyboard)) return {0.3 * H, 0.45 * L, 0.6 * H, 22, 14};
    if (shown(f.showScore) && hidden(f.showKeyboard)) return {0.3 * H, 0.45 * L, 0.4 * H, 24, 18};
    if (hidden(f.showScore) && hidden(f.showKeyboard)) return {0.35 * H, 0.45 * L, 0.5 * H, 24, 18};
    return previous;
}

CircleGeometry ComputeCircleGeometry(const CirclePlace& place, const CircleFrame& f, double tw, double th,
                                     double screenHeight) {
    const double a = (15360 - screenHeight) * 0.02 / 3840;
    const double r = place.radius;
    const double cx = place.centreX;
    const double cy = place.centreY;
    const bool wide = f.layoutMode == 1;
    const double k = f.studyType < Phrases ? 1.175 : (wide ? 1.25 : 1.275);
    CircleGeometry g{};
    for (int p = 0; p < circle_sets::Entries; ++p) {
        const auto i = static_cast<std::size_t>(p);
        const double theta = (30.0 * p - 90) * Pi / 180;
        const double turned = f.studyType == Pattern ? theta + PatternTurn : theta;
        const auto set = [&g, i](int s, double v) {
            g[static_cast<std::size_t>(s)][i] = static_cast<float>(v);
        };
        set(0, cx + r * std::cos(turned));
        set(1, cy - r * std::sin(turned) * (a + 1.05));
        set(2, cx - tw + r * std::cos(theta) * k);
        set(3, cy - th - r * std::sin(theta) * k);
        set(4, cx - 1.5 * tw + 0.89 * r * std::cos(theta));
        set(5, cy - 0.5 * th - 0.92 * r * std::sin(theta));
        set(6, cx - 1.5 * tw + 0.62 * r * std::cos(theta));
        set(7, cy - 0.5 * th - 0.65 * r * std::sin(theta));
        set(8, cx - 1.5 * tw + (wide ? 0.41 : 0.36) * r * std::cos(theta));
        set(9, cy - 0.5 * th - (wide ? 0.43 : 0.38) * r * std::sin(theta));
        set(10, cx + (wide ? 0.83 : 0.7) * r * std::cos(turned));
        set(11, cy - (wide ? 0.85 : 0.74) * r * std::sin(turned));
    }
    return g;
}

CirclePoint PatternCellCentre(const CirclePlace& place, int ringSet, int pitchClass) {
    // Halfway across the ring; the inner ring narrows to the centre, so a little further out there.
    constexpr double InnerMiddle = 0.3;
    const double share = ringSet == circle_sets::InnerRingX ? InnerMiddle
                         : ringSet == circle_sets::MiddleRingX
                             ? (pattern_rings::InnerEdge + pattern_rings::OuterEdge) / 2
                             : (pattern_rings::OuterEdge + 1) / 2;
    // As the spokes are placed, so that it lies halfway between two of them.
    const double theta = (30.0 * pitchClass - 90) * Pi / 180;
    return {place.centreX + share * place.radius * std::cos(theta),
            place.centreY - share * place.radius * std::sin(theta)};
}

std::optional<PatternCell> PatternCellAt(const CircleGeometry& points, double x, double y) {
    // The build keeps a point in whole logical units, and from a geometry measured on the surface as it was
    // then: a label a little way off is still the one meant, while neighbouring labels lie hundreds apart.
    constexpr double Reach = 100;
    std::optional<PatternCell> nearest;
    double best = Reach;
    for (const int ring : {circle_sets::InnerRingX, circle_sets::MiddleRingX, circle_sets::OuterRingX}) {
        for (int pc = 0; pc < 12; ++pc) {
            const auto p = static_cast<std::size_t>(pc);
            const double d = std::hypot(points[static_cast<std::size_t>(ring)][p] - x,
                                        points[static_cast<std::size_t>(ring) + 1][p] - y);
            if (d <= best) {
                best = d;
                nearest = PatternCell{ring, pc};
            }
        }
    }
    return nearest;
}

} // namespace orbel
