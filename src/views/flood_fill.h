#pragma once
// The fill of an outlined area on a view. The area is looked for on a flat copy of the drawing: the
// background colours and every line drawn without antialiasing in its exact colour, without text. There an
// outline is a closed chain of pixels, so the fill cannot slip through the half-tone pixels that
// antialiasing leaves along a line; and text does not stop it, so a label inside an area is no border.
//
// On the picture itself the fill changes only the background: a pixel that is part ink (the antialiased
// edge of a line or a letter) keeps its share of ink over the new colour. So a filled cell keeps its outline
// and its label whole, however the antialiased line and the flat one were rounded.

#include <QImage>
#include <QPoint>
#include <vector>

namespace orbel {

// What a fill changed, so that it can be taken back exactly.
struct FillUndo {
    struct Pixel {
        int x = 0;
        int y = 0;
        QRgb flatBefore = 0;
        QRgb flatAfter = 0;
        QRgb pictureBefore = 0;
        QRgb pictureAfter = 0;
    };
    std::vector<Pixel> pixels;
};

// Fills the area around seed bounded by pixels of the colour border in flat (4-connected: a diagonal line of
// the border colour closes the area) with fill: flat gets the colour, picture the colour under its ink. The
// border pixels along the area get the new colour under their ink too. Both images have the same size and
// format ARGB32 or RGB32. Returns the number of pixels of the area; a seed outside the images or on the
// border colour fills nothing. undo, when given, receives what changed.
long FloodFillOutlined(QImage& flat, QImage& picture, QPoint seed, QRgb border, QRgb fill,
                       FillUndo* undo = nullptr);

// Takes a fill back: every pixel it changed gets its colour from before, unless something has been drawn
// on it since.
void UndoFill(QImage& flat, QImage& picture, const FillUndo& undo);

} // namespace orbel
