#pragma once
// Paints the circle diagram: the disk with the twelve note names and, by study type, the polygon and degree
// names of a scale or chord, the three rings of a II–V–I pattern with its cells coloured by their role, or
// the root marker of a phrase.

#include "views/circle_geometry.h"
#include "views/circle_layout.h"
#include "views/flood_fill.h"

#include <array>
#include <cstdint>
#include <optional>
#include <string>
#include <vector>

namespace orbel {

class Surface;

struct CircleContent {
    bool shown = false;
    int studyType = 0;
    int rootKey = 0;
    int majorSpelling = 1;
    std::string steps;                      // scale or chord: its step string
    std::string patternDigits;              // II–V–I pattern: which digits the pattern plays
    std::array<std::string, 3> chordScales; // II–V–I pattern: the scale strings of II, V and I
    bool fifthIsFlatSecond = false;         // the V7 treatment that puts V a semitone above the root
    std::array<std::uint32_t, 5> colours{}; // ViewColour 0..4
    // Scales, chords and patterns: where the marker goes for the note starting at each tick (for a pattern,
    // where the label of its cell stands).
    struct Marker {
        int tick = 0;
        double x = 0;
        double y = 0;
    };
    std::vector<Marker> markers;
};

// Everything the diagram needs to be drawn.
struct CircleDiagram {
    CirclePlace place;
    CircleGeometry points{};
    CircleContent content;
};

void DrawCircleDiagram(Surface& surface, const CirclePlace& place, const CircleGeometry& points,
                       const CircleContent& content);

// The marker of the note being played: for a scale or chord an XOR ring (drawn again to remove it), for a
// pattern its cell filled in the "ひく音" colour beneath its label (the fill taken back to remove it); none
// for phrases.
class CirclePlayMarker {
public:
    void show(Surface& surface, const CircleDiagram& diagram, int tick, bool first);
    void end(Surface& surface, const CircleDiagram& diagram);

private:
    std::optional<CircleContent::Marker> last_;
    FillUndo cell_;
};

} // namespace orbel
