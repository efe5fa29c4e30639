#include "views/flood_fill.h"

#include <vector>

namespace orbel {

namespace {

QRgb Opaque(QRgb c) {
    return c | 0xFF000000U;
}

} // namespace

long FloodFillOutlined(QImage& outlines, QImage& picture, QPoint seed, QRgb border, QRgb fill) {
    const int w = outlines.width();
    const int h = outlines.height();
    if (picture.size() != outlines.size() || !outlines.rect().contains(seed)) return 0;
    const QRgb edge = Opaque(border);
    const QRgb paint = Opaque(fill);
    auto at = [&](int x, int y) {
        return Opaque(reinterpret_cast<const QRgb*>(outlines.constScanLine(y))[x]);
    };
    if (at(seed.x(), seed.y()) == edge) return 0;

    std::vector<bool> done(static_cast<std::size_t>(w) * static_cast<std::size_t>(h), false);
    auto open = [&](int x, int y) {
        return !done[static_cast<std::size_t>(y) * static_cast<std::size_t>(w) +
                     static_cast<std::size_t>(x)] &&
               at(x, y) != edge;
    };
    long filled = 0;
    std::vector<QPoint> stack{seed};
    while (!stack.empty()) {
        const QPoint p = stack.back();
        stack.pop_back();
        int y = p.y();
        if (!open(p.x(), y)) continue;
        // The run of open pixels on this row, then the rows above and below it.
        int left = p.x();
        while (left > 0 && open(left - 1, y))
            --left;
        int right = p.x();
        while (right + 1 < w && open(right + 1, y))
            ++right;
        auto* outlineRow = reinterpret_cast<QRgb*>(outlines.scanLine(y));
        auto* pictureRow = reinterpret_cast<QRgb*>(picture.scanLine(y));
        for (int x = left; x <= right; ++x) {
            done[static_cast<std::size_t>(y) * static_cast<std::size_t>(w) + static_cast<std::size_t>(x)] =
                true;
            outlineRow[x] = paint;
            pictureRow[x] = paint;
            ++filled;
        }
        for (const int ny : {y - 1, y + 1}) {
            if (ny < 0 || ny >= h) continue;
            bool inRun = false;
            for (int x = left; x <= right; ++x) {
                const bool o = open(x, ny);
                if (o && !inRun) stack.emplace_back(x, ny);
                inRun = o;
            }
        }
    }
    return filled;
}

} // namespace orbel
