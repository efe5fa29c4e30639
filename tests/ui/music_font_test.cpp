// The generated music font ZEPHMUSIC.ttf: its names and licence data, one ascent for every text engine, and
// where its glyphs land when printed the way the staff prints them (by the top-left of the character cell).

#include "views/music_glyphs.h"

#include <QFont>
#include <QFontDatabase>
#include <QFontMetricsF>
#include <QImage>
#include <QPainter>
#include <QPainterPath>
#include <QRawFont>
#include <QtEndian>
#include <algorithm>
#include <gtest/gtest.h>

namespace orbel {
namespace {

static constexpr const char* MusicFontFile = ORBEL_PROGRAM_DIR "/ZEPHMUSIC.ttf";

// Rendering scale: 0.2 pixels per twip, so one staff space (150 twips) is 30 pixels at every point size.
static constexpr double PixelsPerTwip = 0.2;
static constexpr double Space = 150 * PixelsPerTwip;
static constexpr int NotePoints = 28;
static constexpr int SignPoints = 26;
static constexpr int AccidentalPoints = 22;
// The design: the cell top lies two ems above the baseline.
static constexpr double AscentEms = 2.0;

// Every code point the staff prints.
static constexpr char32_t StaffCodes[] = {
    music_glyph::TrebleClef,
    music_glyph::CommonTime,
    music_glyph::ThreeFourTime,
    music_glyph::WholeNote,
    music_glyph::HalfNoteUp,
    music_glyph::HalfNoteDown,
    music_glyph::QuarterNoteUp,
    music_glyph::QuarterNoteDown,
    music_glyph::EighthNoteUp,
    music_glyph::EighthNoteDown,
    music_glyph::SixteenthNoteUp,
    music_glyph::SixteenthNoteDown,
    music_glyph::ThirtySecondNoteUp,
    music_glyph::ThirtySecondNoteDown,
    music_glyph::NoteHead,
    music_glyph::QuarterRest,
    music_glyph::EighthRest,
    music_glyph::SixteenthRest,
    music_glyph::ThirtySecondRest,
    music_glyph::Sharp,
    music_glyph::Flat,
    music_glyph::Natural,
};

int pixelSize(int points) {
    return qRound(points * 20 * PixelsPerTwip);
}

QFont musicFont(int points) {
    QFont font(QStringLiteral("ZephMusicFont"));
    font.setPixelSize(pixelSize(points));
    font.setHintingPreference(QFont::PreferNoHinting);
    return font;
}

// A glyph printed with its cell's top-left at (CellLeft, CellTop), in staff spaces from that corner.
class PrintedGlyph {
public:
    PrintedGlyph(char32_t code, int points) : image_(int(10 * Space), int(13 * Space), QImage::Format_RGB32) {
        image_.fill(Qt::white);
        QPainter painter(&image_);
        const QFont font = musicFont(points);
        painter.setFont(font);
        painter.setPen(Qt::black);
        const double baseline = CellTop * Space + QFontMetricsF(font).ascent();
        painter.drawText(QPointF(CellLeft * Space, baseline), QString::fromUcs4(&code, 1));
    }

    bool darkAt(double x, double y) const {
        const QPoint p(qRound((CellLeft + x) * Space), qRound((CellTop + y) * Space));
        return image_.valid(p) && qGray(image_.pixel(p)) < 128;
    }

    // Bounding box of the dark pixels, in staff spaces from the cell's top-left.
    QRectF ink() const {
        int left = image_.width(), top = image_.height(), right = -1, bottom = -1;
        for (int y = 0; y < image_.height(); ++y)
            for (int x = 0; x < image_.width(); ++x)
                if (qGray(image_.pixel(x, y)) < 128) {
                    left = std::min(left, x), right = std::max(right, x);
                    top = std::min(top, y), bottom = std::max(bottom, y);
                }
        if (right < 0) return {};
        return QRectF(left / Space - CellLeft, top / Space - CellTop, (right + 1 - left) / Space,
                      (bottom + 1 - top) / Space);
    }

private:
    static constexpr double CellLeft = 3.0;
    static constexpr double CellTop = 1.0;
    QImage image_;
};

class MusicFontTest : public ::testing::Test {
protected:
    static void SetUpTestSuite() { fontId = QFontDatabase::addApplicationFont(MusicFontFile); }
    static void TearDownTestSuite() { QFontDatabase::removeApplicationFont(fontId); }
    void SetUp() override { ASSERT_GE(fontId, 0) << "cannot load " << MusicFontFile; }

    static QByteArray table(const char* tag) {
        return QRawFont(QString::fromUtf8(MusicFontFile), 20).fontTable(tag);
    }
    static int be16(const QByteArray& bytes, int offset) {
        if (offset + 2 > bytes.size()) return -1;
        return qFromBigEndian<qint16>(bytes.constData() + offset);
    }

    static inline int fontId = -1;
};

QByteArray utf16be(const char* ascii) {
    QByteArray bytes;
    for (const char* c = ascii; *c; ++c)
        bytes.append('\0').append(*c);
    return bytes;
}

TEST_F(MusicFontTest, IsItsOwnFamilyWithEveryStaffGlyphUnderOflAndNoReservedName) {
    EXPECT_EQ(QFontDatabase::applicationFontFamilies(fontId), QStringList{"ZephMusicFont"});

    const QRawFont raw(QString::fromUtf8(MusicFontFile), 40);
    ASSERT_TRUE(raw.isValid());
    for (char32_t code : StaffCodes) {
        SCOPED_TRACE(int(code));
        EXPECT_TRUE(raw.supportsCharacter(uint(code)));
        const QList<quint32> glyphs = raw.glyphIndexesForString(QString::fromUcs4(&code, 1));
        ASSERT_EQ(glyphs.size(), 1);
        EXPECT_FALSE(raw.pathForGlyph(glyphs[0]).isEmpty()) << "blank glyph";
    }

    // The name table carries the licence and never the original's reserved names.
    const QByteArray names = table("name");
    ASSERT_FALSE(names.isEmpty());
    EXPECT_TRUE(names.contains(utf16be("SIL Open Font License, Version 1.1")));
    for (const char* reserved : {"Emmentaler", "emmentaler", "EMMENTALER", "Feta", "feta", "FETA"}) {
        EXPECT_FALSE(names.contains(reserved)) << reserved;
        EXPECT_FALSE(names.contains(utf16be(reserved))) << reserved;
    }
}

TEST_F(MusicFontTest, HasOneAscentThatQtReports) {
    const int unitsPerEm = be16(table("head"), 18);
    const QByteArray os2 = table("OS/2");
    ASSERT_GT(unitsPerEm, 0);
    const int ascent = qRound(AscentEms * unitsPerEm);
    EXPECT_EQ(be16(table("hhea"), 4), ascent);
    EXPECT_EQ(be16(os2, 68), ascent);          // typographic ascender
    EXPECT_EQ(quint16(be16(os2, 74)), ascent); // Windows ascent
    EXPECT_TRUE(be16(os2, 62) & (1 << 7)) << "USE_TYPO_METRICS";
    for (int points : {NotePoints, SignPoints, AccidentalPoints})
        EXPECT_NEAR(QFontMetricsF(musicFont(points)).ascent(), AscentEms * pixelSize(points), 0.5) << points;
}

// Points that must be dark or light, in staff spaces from the cell's top-left (y downwards), with the
// position the staff gives for each glyph: a note's head centre 5.64 s below the cell top and 0.63 s right of
// x (the middle of its ledger lines); a whole note printed 0.2 s (30 twips) left of x; an accidental printed
// one space left of x, 1.35 s above its note's cell.
struct Probe {
    char32_t code;
    int points;
    double x, y;
    bool dark;
    const char* what;
};

static constexpr Probe Probes[] = {
    {music_glyph::QuarterNoteUp, NotePoints, 0.63, 5.64, true, "head centre"},
    {music_glyph::QuarterNoteUp, NotePoints, 0.63, 6.4, false, "nothing below the head"},
    {music_glyph::QuarterNoteUp, NotePoints, 0.63, 4.9, false, "nothing above the head's middle"},
    {music_glyph::QuarterNoteUp, NotePoints, -0.15, 5.64, false, "head starts at x"},
    {music_glyph::QuarterNoteUp, NotePoints, 1.4, 5.64, false, "head about 1.3 s wide"},
    {music_glyph::QuarterNoteUp, NotePoints, 1.22, 3.0, true, "up-stem at the head's right"},
    {music_glyph::QuarterNoteUp, NotePoints, 1.0, 3.0, false, "up-stem thin"},
    {music_glyph::QuarterNoteUp, NotePoints, 1.22, 2.3, true, "up-stem reaches 3.5 s above the head"},
    {music_glyph::QuarterNoteUp, NotePoints, 1.22, 1.9, false, "up-stem ends there"},
    {music_glyph::QuarterNoteDown, NotePoints, 0.63, 5.64, true, "head centre"},
    {music_glyph::QuarterNoteDown, NotePoints, 0.04, 8.5, true, "down-stem at the head's left"},
    {music_glyph::QuarterNoteDown, NotePoints, 0.63, 8.5, false, "nothing right of the down-stem"},
    {music_glyph::QuarterNoteDown, NotePoints, 0.04, 9.4, false, "down-stem ends 3.5 s below the head"},
    {music_glyph::EighthNoteUp, NotePoints, 1.95, 4.3, true, "flag's tail right of the up-stem"},
    {music_glyph::EighthNoteDown, NotePoints, 1.05, 7.0, true, "flag's tail right of the down-stem"},
    {music_glyph::NoteHead, NotePoints, 1.22, 3.0, false, "no stem"},
    {music_glyph::WholeNote, NotePoints, 0.83, 5.64, false, "whole note hollow at x + 0.63 s"},
    {music_glyph::Sharp, AccidentalPoints, 0.0, 4.29, false, "sharp hollow at the head's height"},
    {music_glyph::Sharp, AccidentalPoints, 0.0, 3.77, true, "sharp's upper cross bar"},
    {music_glyph::Flat, AccidentalPoints, 0.05, 4.29, false, "flat's bowl hollow at the head's height"},
    {music_glyph::Natural, AccidentalPoints, 0.19, 4.29, false, "natural hollow at the head's height"},
};

TEST_F(MusicFontTest, DrawsStemsFlagsAndHollowsWhereTheStaffExpectsThem) {
    for (const Probe& probe : Probes) {
        const PrintedGlyph glyph(probe.code, probe.points);
        EXPECT_EQ(glyph.darkAt(probe.x, probe.y), probe.dark)
            << char(probe.code) << " (" << int(probe.code) << "): " << probe.what;
    }
}

// Ink extents (top, bottom, left, right) in staff spaces from the cell's top-left: where the staff puts the
// reference point of each glyph, widened by the glyph's own size. Seen from the cell top, a head centre
// lies 5.64 below it and 0.63 right of x (a whole note's cell starts 0.2 left of x); the clef's G line 5.4
// below it; the middle line 5.35 for the time signatures, 5.3, 5.35, 5.75 and 5.75 for the four rests (the
// staff runs two spaces either side); an accidental's note 4.29 below it and x one space right of the cell.
struct InkBox {
    char32_t code;
    int points;
    double top, bottom, left, right;
    const char* what;
};

static constexpr double InkTolerance = 0.06;

static constexpr InkBox InkBoxes[] = {
    {music_glyph::NoteHead, NotePoints, 5.10, 6.18, -0.02, 1.28, "head 1.1 s high centred on (0.63, 5.64)"},
    {music_glyph::WholeNote, NotePoints, 5.10, 6.18, -0.15, 1.81, "whole note centred on (0.83, 5.64)"},
    {music_glyph::TrebleClef, SignPoints, 0.62, 7.94, 0.30, 2.87,
     "clef from 4.8 s above the G line to 2.5 s below it"},
    {music_glyph::CommonTime, SignPoints, 4.30, 6.40, 0.30, 2.03, "C centred on the middle line"},
    {music_glyph::ThreeFourTime, SignPoints, 3.35, 7.35, 0.30, 1.91,
     "3/4 from the top line to the bottom line"},
    {music_glyph::QuarterRest, SignPoints, 3.72, 6.58, 0.10, 1.16,
     "quarter rest from the fourth space down to the first"},
    {music_glyph::EighthRest, SignPoints, 4.53, 6.39, 0.12, 1.14, "eighth rest's flag in the third space"},
    {music_glyph::SixteenthRest, SignPoints, 4.93, 7.79, -0.02, 1.28,
     "sixteenth rest's flags in the third and second spaces"},
    {music_glyph::ThirtySecondRest, SignPoints, 3.93, 7.79, -0.13, 1.39,
     "32nd rest's flags in the fourth to second spaces"},
    {music_glyph::Sharp, AccidentalPoints, 2.79, 5.79, -0.55, 0.55,
     "sharp centred on the note, 0.45 s clear of x"},
    {music_glyph::Natural, AccidentalPoints, 2.76, 5.82, -0.17, 0.55, "natural centred on the note"},
    {music_glyph::Flat, AccidentalPoints, 2.43, 4.94, -0.36, 0.55, "flat's bowl on the note"},
};

TEST_F(MusicFontTest, KeepsEveryGlyphInItsPlaceOnTheStaff) {
    for (const InkBox& box : InkBoxes) {
        SCOPED_TRACE(box.what);
        const QRectF ink = PrintedGlyph(box.code, box.points).ink();
        ASSERT_FALSE(ink.isEmpty());
        EXPECT_NEAR(ink.top(), box.top, InkTolerance);
        EXPECT_NEAR(ink.bottom(), box.bottom, InkTolerance);
        EXPECT_NEAR(ink.left(), box.left, InkTolerance);
        EXPECT_NEAR(ink.right(), box.right, InkTolerance);
    }
}

} // namespace
} // namespace orbel
