#pragma once
// The small staff of the sound settings dialog that shows the pitch range the played material is kept in:
// the lower and the upper limit as two filled heads on a treble staff, with sharps and ledger lines. Its
// units span 500 across and 1500 up; black keys are always written as sharps.

#include <vector>

namespace orbel {

class Surface;

namespace range_preview {
static constexpr double Width = 500;
static constexpr double Height = 1500;
static constexpr double LineLength = 440;
static constexpr double Spacing = 50; // between staff lines
static constexpr double Base = 700;   // the bottom line
static constexpr double Left = 30;    // the lines and the clef start here
// Where each limit may lie on the staff; a limit outside is moved to the nearest end.
static constexpr int LowLimitMin = 9;
static constexpr int LowLimitMax = 28;
static constexpr int HighLimitMin = 42;
static constexpr int HighLimitMax = 60;
} // namespace range_preview

int SnapLowLimit(int pitch);
int SnapHighLimit(int pitch);

// The height of a pitch's head on the preview staff (24 is middle C); pitches the staff does not place
// (treble_staff::LowestPitch..HighestPitch) are taken to the nearest end.
double PreviewNoteY(int pitch);
bool PreviewSharp(int pitch);

struct PreviewHead {
    double x = 0;
    double y = 0;
    bool sharp = false;
    std::vector<double> ledgers; // heights of the ledger lines the head needs
};

struct RangePreviewPicture {
    PreviewHead low;
    PreviewHead high;
};

// The picture for two limits, each first snapped into its span.
RangePreviewPicture LayOutRangePreview(int low, int high);

// Clears the surface (500 × 1500 units) and draws the clef, the two heads and the staff.
void DrawRangePreview(Surface& surface, const RangePreviewPicture& picture);

} // namespace orbel
