#pragma once
// The main window's drawing coordinates: x grows to the right from 0 to width,
// y grows upward from 0 at the bottom edge to height at the top edge, both in
// logical units of about one twip, stretched over whatever pixels the client has.

namespace orbel {

struct LogicalScale {
    double logicalWidth = 1;
    double logicalHeight = 1;
    double pixelWidth = 1;
    double pixelHeight = 1;

    double xToPixel(double x) const { return x * pixelWidth / logicalWidth; }
    double yToPixel(double y) const { return (logicalHeight - y) * pixelHeight / logicalHeight; }
    double widthToPixels(double w) const { return w * pixelWidth / logicalWidth; }
    double heightToPixels(double h) const { return h * pixelHeight / logicalHeight; }
    double pixelToX(double px) const { return px * logicalWidth / pixelWidth; }
    double pixelToY(double py) const { return logicalHeight - py * logicalHeight / pixelHeight; }
};

} // namespace orbel
