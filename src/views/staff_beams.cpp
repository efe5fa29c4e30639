#include "views/staff_beams.h"

#include "theory/beams.h"

#include <initializer_list>

namespace orbel {

namespace {

constexpr double s = staff_geometry::LineSpacing;

namespace beams {
constexpr std::size_t MaxPoints = 11;
constexpr double StemLength = 3.5;
constexpr double StemRightUp = 0.45;
constexpr double StemLeftDown = -0.5;
constexpr double SecondBeam = 0.75;
constexpr double ThirdBeam = 1.5;
constexpr double Hook = 1.25;
constexpr double HookHalf = 70; // logical units
constexpr double SpreadForLonger = 2;
constexpr double LongerThree = 1.3;
constexpr double LongerFour = 2;
constexpr int BeamWidth = 3;
} // namespace beams

// The codes of the groups whose second and third beams the staff draws.
namespace codes {
using namespace beam_code;
constexpr int Eighth1 = Eighth + First;
constexpr int Eighth2 = Eighth + Inner;
constexpr int Eighth3 = Eighth + Last;
constexpr int Sixteenth1 = Sixteenth + First;
constexpr int Sixteenth2 = Sixteenth + Inner;
constexpr int Sixteenth3 = Sixteenth + Last;
constexpr int ThirtySecond1 = ThirtySecond + First;
constexpr int ThirtySecond2 = ThirtySecond + Inner;
constexpr int ThirtySecond3 = ThirtySecond + Last;
constexpr int SixteenthTriplet1 = SixteenthTriplet + First;
constexpr int SixteenthTriplet2 = SixteenthTriplet + Inner;
constexpr int SixteenthTriplet3 = SixteenthTriplet + Last;
constexpr int ThirtySecondTriplet1 = ThirtySecondTriplet + First;
constexpr int ThirtySecondTriplet2 = ThirtySecondTriplet + Inner;
constexpr int ThirtySecondTriplet3 = ThirtySecondTriplet + Last;
} // namespace codes

// Groups under a bracket rather than a beam: a hook at each end, and no stem drawn for the middle note.
bool Bracketed(int code) {
    const int group = beam_code::GroupOf(code);
    return group == beam_code::QuarterTriplet || group == beam_code::EighthTripletWithRest;
}

} // namespace

void StaffBeams::add(int code, double x, double y, double stemThreshold) {
    const int place = beam_code::PlaceOf(code);
    if (place == beam_code::First) {
        group_.assign(1, {x, y, code});
    } else if ((place == beam_code::Inner || place == beam_code::Last) && !group_.empty() &&
               group_.size() < beams::MaxPoints) {
        group_.push_back({x, y, code});
        if (place == beam_code::Last) draw(stemThreshold);
    }
}

void StaffBeams::draw(double stemThreshold) {
    const std::vector<Point>& pts = group_;
    const std::size_t n = pts.size() - 1;
    if (n == 0) return;
    std::size_t maxIdx = 0;
    std::size_t minIdx = 0;
    for (std::size_t k = 1; k <= n; ++k) {
        if (pts[k].y > pts[maxIdx].y) maxIdx = k;
        if (pts[k].y < pts[minIdx].y) minIdx = k;
    }
    const double mid = static_cast<float>((pts[maxIdx].y + pts[minIdx].y) / 2);
    const bool up = mid <= stemThreshold;
    double stem = (up ? 1 : -1) * beams::StemLength * s;
    const double stemX = (up ? beams::StemRightUp : beams::StemLeftDown) * s;
    const double second = (up ? 1 : -1) * beams::SecondBeam * s;
    const double third = (up ? 1 : -1) * beams::ThirdBeam * s;
    const double hook = (up ? 1 : -1) * beams::Hook * s;
    if (pts[maxIdx].y - pts[minIdx].y > beams::SpreadForLonger * s) {
        if (n == 2 && ((up && maxIdx == 1) || (!up && minIdx == 1))) stem *= beams::LongerThree;
        if (n == 3 && up && (minIdx == 0 || minIdx == 3) && (maxIdx == 1 || maxIdx == 2))
            stem += beams::LongerFour * s;
        if (n == 3 && !up && (minIdx == 1 || minIdx == 2) && (maxIdx == 0 || maxIdx == 3))
            stem -= beams::LongerFour * s;
    }
    const double firstY = pts.front().y;
    const double lastY = pts.back().y;
    const double slope = (lastY - firstY) / static_cast<double>(n);
    std::vector<double> end(n + 1);
    for (std::size_t k = 0; k <= n; ++k) {
        const double X = pts[k].x + stemX;
        end[k] = firstY + stem + static_cast<double>(k) * slope;
        const int code = pts[k].code;
        if (k == 1 && code == codes::Sixteenth2) {
            end[1] =
                firstY + stem + (lastY - firstY) * (pts[0].code == codes::Sixteenth1 ? 1.0 / 3 : 2.0 / 3);
            marks_.line(X, pts[1].y, X, end[1]);
            continue;
        }
        if (!Bracketed(code)) {
            marks_.line(X, pts[k].y, X, end[k]);
        } else if (beam_code::PlaceOf(code) != beam_code::Inner) {
            marks_.line(X, end[k] + hook - beams::HookHalf, X, end[k] + hook + beams::HookHalf);
        }
    }
    const int lastCode = pts.back().code;
    const double X0 = pts.front().x + stemX;
    const double Xn = pts.back().x + stemX;
    if (Bracketed(lastCode)) {
        marks_.line(X0, firstY + stem + hook, Xn, end[n] + hook);
    } else {
        marks_.line(X0, firstY + stem, Xn, end[n], beams::BeamWidth);
    }
    // The group ends with these codes.
    const auto codesAre = [&pts](std::initializer_list<int> wanted) {
        if (wanted.size() > pts.size()) return false;
        std::size_t k = pts.size() - wanted.size();
        for (const int c : wanted) {
            if (pts[k++].code != c) return false;
        }
        return true;
    };
    const auto extra = [&](double offset) {
        marks_.line(X0, firstY + stem - offset, Xn, end[n] - offset, beams::BeamWidth);
    };
    using namespace codes;
    if (codesAre({Sixteenth1, Sixteenth2, Sixteenth2, Sixteenth3})) {
        extra(second);
    } else if (codesAre({ThirtySecond1, ThirtySecond2, ThirtySecond2, ThirtySecond3})) {
        extra(second);
        extra(third);
    } else if (codesAre({SixteenthTriplet1, SixteenthTriplet2, SixteenthTriplet3})) {
        extra(second);
    } else if (codesAre({ThirtySecondTriplet1, ThirtySecondTriplet2, ThirtySecondTriplet3})) {
        extra(second);
        extra(third);
    } else if (codesAre({Sixteenth1, Sixteenth3})) {
        extra(second);
    } else if (codesAre({ThirtySecond1, ThirtySecond3})) {
        extra(second);
        extra(third);
    } else if (codesAre({Eighth1, Sixteenth2, Sixteenth3})) {
        marks_.line(pts[1].x + stemX, end[1] - second, Xn, lastY + stem - second, beams::BeamWidth);
    } else if (codesAre({Sixteenth1, Sixteenth2, Eighth3})) {
        marks_.line(X0, firstY + stem - second, pts[1].x + stemX, end[1] - second, beams::BeamWidth);
    } else if (codesAre({Sixteenth1, Eighth2, Sixteenth3})) {
        const double Y0 = firstY + stem - second;
        const double Yn = end[n] - second;
        marks_.line(X0, Y0, X0 + 0.25 * (Xn - X0), Y0 + 0.25 * (Yn - Y0), beams::BeamWidth);
        marks_.line(X0 + 0.77 * (Xn - X0), Y0 + 0.75 * (Yn - Y0), Xn, Yn, beams::BeamWidth);
    }
    if (beam_code::GroupOf(lastCode) >= beam_code::QuarterTriplet) {
        const double digitX = up ? pts[1].x : pts[1].x - 0.8 * s;
        const double digitY = firstY + 1.5 * stem + slope + (up ? s : 0.3 * s);
        marks_.flatText(QStringLiteral("3"), digitX, digitY, staff_fonts::Triplet);
    }
}

} // namespace orbel
