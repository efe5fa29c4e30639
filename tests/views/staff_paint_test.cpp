// The staff painted with the music font: every head's centre sits on its line or space.

#include "app/study_session.h"
#include "theory/note_names.h"
#include "theory/prepare_build.h"
#include "theory/spelling.h"
#include "views/staff_layout.h"
#include "views/staff_view.h"
#include "views/surface.h"

#include <QFontDatabase>
#include <algorithm>
#include <gtest/gtest.h>

namespace orbel {
namespace {

constexpr double s = staff_geometry::LineSpacing;

// The vertical centre (device pixels) of the ink in the columns [x0, x1) between rows y0 and y1, less the ink
// of the same rows in the columns [r0, r0 + x1 - x0), where only the staff lines are: the head without them.
double InkCentre(const QImage& picture, int x0, int x1, int r0, int y0, int y1) {
    const auto darkIn = [&](int from, int to, int y) {
        int n = 0;
        for (int x = from; x < to; ++x)
            n += qGray(picture.pixel(x, y)) < 128 ? 1 : 0;
        return n;
    };
    double weighted = 0;
    double total = 0;
    for (int y = std::max(0, y0); y < std::min(picture.height(), y1); ++y) {
        const int ink = std::max(0, darkIn(x0, x1, y) - darkIn(r0, r0 + x1 - x0, y));
        weighted += static_cast<double>(ink) * y;
        total += ink;
    }
    return total > 0 ? weighted / total : -1;
}

TEST(StaffPaint, EveryHeadIsCentredOnItsLineOrSpace) {
    ASSERT_GE(QFontDatabase::addApplicationFont(QStringLiteral(ORBEL_PROGRAM_DIR "/ZEPHMUSIC.ttf")), 0);
    const StaffFrame frame{24300, 15600, 19800, 1};
    for (int pitch = 14; pitch <= 52; ++pitch) {
        for (const int ticks : {24, 48, 96}) {
            PlaySequence seq;
            seq.SeqCount = 2;
            seq.SeqPitch[0] = static_cast<std::int16_t>(pitch);
            seq.SeqDur[0] = static_cast<std::int16_t>(ticks);
            seq.SeqPitch[1] = 28;
            seq.SeqDur[1] = static_cast<std::int16_t>(96 - ticks > 0 ? 96 - ticks : 96);
            const StaffLayout staff = LayOutStaff(seq, {3, 0, 0}, frame);
            // A large picture, so that a tenth of a line spacing is a few pixels.
            Surface surface(QSize(3240, 2080), 1.0, frame.windowWidth, frame.windowHeight);
            PaintStaff(surface, staff);
            const double head = staff.rowBase[0] + SpacesAboveBottomLine(Spell(pitch, true)) * s;
            // The head spans 0..1.27 s right of the note's x (the cursor stands 0.5 s right of it); its
            // middle part, clear of the stems, is looked at. A whole note stands 0.2 s further right.
            const double left = staff.noteX[0] - 0.5 * s + (ticks == 96 ? 0.4 : 0.2) * s;
            const double right = left + 0.85 * s;
            const double reference = (staff.noteX[0] + staff.noteX[1]) / 2 - 0.2 * s;
            const QPointF a = surface.toDevice(left, head + 0.8 * s);
            const QPointF b = surface.toDevice(right, head - 0.8 * s);
            const QPointF r = surface.toDevice(reference, head);
            const QPointF at = surface.toDevice(left, head);
            const double centre =
                InkCentre(surface.picture(), static_cast<int>(a.x()), static_cast<int>(b.x()),
                          static_cast<int>(r.x()), static_cast<int>(a.y()), static_cast<int>(b.y()));
            ASSERT_GE(centre, 0) << "no head at pitch " << pitch << " ticks " << ticks;
            EXPECT_NEAR(centre, at.y(), 0.1 * s * surface.yScale() + 1)
                << "pitch " << pitch << " ticks " << ticks;
        }
    }
}

// Every factory item, painted in C: each head's ink centred on its line or space.
TEST(StaffPaint, EveryFactoryItemHasItsHeadsOnTheirLinesAndSpaces) {
    ASSERT_GE(QFontDatabase::addApplicationFont(QStringLiteral(ORBEL_PROGRAM_DIR "/ZEPHMUSIC.ttf")), 0);
    const StaffFrame frame{24300, 15600, 19800, 1};
    const QString folder = QStringLiteral(ORBEL_PROGRAM_DIR);
    int heads = 0;
    for (int type = study_type::Scale; type <= study_type::IIVIPhrase; ++type) {
        StudyState study;
        study.settings.StudyType = static_cast<std::int16_t>(type);
        InitIIVITables(study.iiviTables);
        StudySession session(study);
        session.loadItems(folder);
        for (int item = 0; item < study.itemCount; ++item) {
            session.selectItem(item);
            const PlaySequence& seq = study.sequence;
            const StaffLayout staff = LayOutStaff(seq, {type, 0, 0}, frame);
            Surface surface(QSize(3240, 2080), 1.0, frame.windowWidth, frame.windowHeight);
            PaintStaff(surface, staff);
            const bool flatKey = KeyUsesFlats(0, seq.MajorSpelling);
            for (int i = 0; i < seq.SeqCount; ++i) {
                const auto n = static_cast<std::size_t>(i);
                if (seq.SeqRest[n] == 1) continue;
                const int pitch = seq.SeqPitch[n] + 12 * seq.OctaveShift;
                const double head = staff.rowBase[n] + SpacesAboveBottomLine(Spell(pitch, flatKey)) * s;
                const double left = staff.noteX[n] - 0.5 * s + (seq.SeqDur[n] == 96 ? 0.4 : 0.2) * s;
                // Only the staff lines lie between the time signature and the first note of a row.
                const double reference = frame.windowWidth * 0.01 + 6 * s;
                const QPointF a = surface.toDevice(left, head + 0.8 * s);
                const QPointF b = surface.toDevice(left + 0.85 * s, head - 0.8 * s);
                const QPointF r = surface.toDevice(reference, head);
                const QPointF at = surface.toDevice(left, head);
                const double centre =
                    InkCentre(surface.picture(), static_cast<int>(a.x()), static_cast<int>(b.x()),
                              static_cast<int>(r.x()), static_cast<int>(a.y()), static_cast<int>(b.y()));
                ASSERT_GE(centre, 0) << "study " << type << " item " << item << " entry " << i;
                EXPECT_NEAR(centre, at.y(), 0.1 * s * surface.yScale() + 1)
                    << "study " << type << " item " << item << " entry " << i;
                ++heads;
            }
        }
    }
    EXPECT_GT(heads, 1000);
}

// A dot is a black disc as wide as the pen its mark asks for (in pixels of the screen), not a grey speck:
// across and up through its middle, that many pixels or more are black.
TEST(StaffPaint, ADotIsABlackDiscAsWideAsItsPen) {
    const StaffFrame frame{24300, 15600, 19800, 1};
    PlaySequence seq;
    seq.SeqCount = 3;
    for (std::size_t i = 0; i < 3; ++i) {
        seq.SeqPitch[i] = 29; // F, in the bottom space: the dot sits level with the head, in the space
        seq.SeqDur[i] = static_cast<std::int16_t>(i < 2 ? 36 : 24);
    }
    const StaffLayout staff = LayOutStaff(seq, {3, 0, 0}, frame);
    for (const double ratio : {1.0, 1.5, 2.0}) {
        Surface surface(QSize(1620, 1000), ratio, frame.windowWidth, frame.windowHeight);
        PaintStaff(surface, staff);
        int dots = 0;
        for (const StaffMark& m : staff.marks) {
            if (m.kind != StaffMark::Kind::Dot) continue;
            ++dots;
            const QPoint centre = surface.toDevice(m.x, m.y).toPoint();
            const auto blackRun = [&](int dx, int dy) {
                int n = 0;
                for (int k = -8; k <= 8; ++k)
                    n += qGray(surface.picture().pixel(centre + QPoint(k * dx, k * dy))) < 64 ? 1 : 0;
                return n;
            };
            const int pen = static_cast<int>(m.width * ratio);
            EXPECT_GE(blackRun(1, 0), pen) << "across, ratio " << ratio;
            EXPECT_GE(blackRun(0, 1), pen) << "up, ratio " << ratio;
        }
        EXPECT_EQ(dots, 2);
    }
}

} // namespace
} // namespace orbel
