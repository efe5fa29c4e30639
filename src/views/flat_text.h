#pragma once
// Chord symbols and key names are written with a lower-case "b" for the flat; on the views each such "b" is
// drawn as the sign "♭", pulled towards the letter before it. This lays the pieces out; painting them is
// the surface's.

#include <QString>
#include <functional>
#include <vector>

namespace orbel {

struct TextPiece {
    double x = 0;
    QString text;
};

// The pieces of text starting at x: the whole text in one piece when it has no "b", else one piece per
// character, each "b" replaced by "♭". width gives the width of a string in the font in use.
std::vector<TextPiece> LayOutFlatText(double x, const QString& text,
                                      const std::function<double(const QString&)>& width);

} // namespace orbel
