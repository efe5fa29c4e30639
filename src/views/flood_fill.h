#pragma once
// The fill of an outlined area on a view. The outline is looked for on a plain copy of the drawing in which
// every line was drawn without antialiasing, in its exact colour: there an outline is a closed chain of
// pixels, so the fill cannot slip through the half-tone pixels that antialiasing leaves along a line.

#include <QImage>
#include <QPoint>

namespace orbel {

// Fills the area around seed bounded by pixels of the colour border in outlines (4-connected: a diagonal
// line of the border colour closes the area) with fill, in outlines and in picture alike. Both images
// have the same size and format ARGB32 or RGB32. Returns the number of pixels filled; a seed outside the
// images or on the border colour fills nothing.
long FloodFillOutlined(QImage& outlines, QImage& picture, QPoint seed, QRgb border, QRgb fill);

} // namespace orbel
