#include "views/flood_fill.h"

#include <algorithm>
#include <cstdint>

namespace orbel {

namespace {

QRgb Opaque(QRgb c) {
    return c | 0xFF000000U;
}

// The picture's pixel p was ink of colour ink over background before, to some share; the same share of
// ink over background after. A pixel that is no such mix keeps what sets it apart from one.
QRgb Recolour(QRgb p, QRgb before, QRgb after, QRgb ink) {
    const int pc[3] = {qRed(p), qGreen(p), qBlue(p)};
    const int bc[3] = {qRed(before), qGreen(before), qBlue(before)};
    const int ac[3] = {qRed(after), qGreen(after), qBlue(after)};
    const int kc[3] = {qRed(ink), qGreen(ink), qBlue(ink)};
    double along = 0;
    double length = 0;
    for (int i = 0; i < 3; ++i) {
        along += static_cast<double>(pc[i] - bc[i]) * (kc[i] - bc[i]);
        length += static_cast<double>(kc[i] - bc[i]) * (kc[i] - bc[i]);
    }
    const double share = length > 0 ? std::clamp(along / length, 0.0, 1.0) : 0.0;
    int out[3];
    for (int i = 0; i < 3; ++i)
        out[i] = std::clamp(static_cast<int>(pc[i] + (ac[i] - bc[i]) * (1 - share) + 0.5), 0, 255);
    return qRgb(out[0], out[1], out[2]);
}

enum : std::uint8_t { Untouched, Filled, EdgeDone };

} // namespace

long FloodFillOutlined(QImage& flat, QImage& picture, QPoint seed, QRgb border, QRgb fill, FillUndo* undo) {
    const int w = flat.width();
    const int h = flat.height();
    if (picture.size() != flat.size() || !flat.rect().contains(seed)) return 0;
    const QRgb edge = Opaque(border);
    const QRgb paint = Opaque(fill);
    const auto flatAt = [&](int x, int y) {
        return Opaque(reinterpret_cast<const QRgb*>(flat.constScanLine(y))[x]);
    };
    if (flatAt(seed.x(), seed.y()) == edge) return 0;
    if (undo != nullptr) undo->pixels.clear();

    std::vector<std::uint8_t> state(static_cast<std::size_t>(w) * static_cast<std::size_t>(h), Untouched);
    const auto index = [w](int x, int y) {
        return static_cast<std::size_t>(y) * static_cast<std::size_t>(w) + static_cast<std::size_t>(x);
    };
    const auto open = [&](int x, int y) { return state[index(x, y)] == Untouched && flatAt(x, y) != edge; };
    // A border pixel beside the area: the antialiased line there may lie partly over the area's background.
    const auto touchEdge = [&](int x, int y, QRgb before) {
        if (x < 0 || y < 0 || x >= w || y >= h || state[index(x, y)] != Untouched || flatAt(x, y) != edge)
            return;
        state[index(x, y)] = EdgeDone;
        QRgb& p = reinterpret_cast<QRgb*>(picture.scanLine(y))[x];
        const QRgb was = Opaque(p);
        p = Recolour(was, before, paint, edge);
        if (undo != nullptr) undo->pixels.push_back({x, y, edge, edge, was, p});
    };

    long filled = 0;
    std::vector<QPoint> stack{seed};
    while (!stack.empty()) {
        const QPoint at = stack.back();
        stack.pop_back();
        const int y = at.y();
        if (!open(at.x(), y)) continue;
        // The run of open pixels on this row, then the rows above and below it.
        int left = at.x();
        while (left > 0 && open(left - 1, y))
            --left;
        int right = at.x();
        while (right + 1 < w && open(right + 1, y))
            ++right;
        auto* flatRow = reinterpret_cast<QRgb*>(flat.scanLine(y));
        auto* pictureRow = reinterpret_cast<QRgb*>(picture.scanLine(y));
        for (int x = left; x <= right; ++x) {
            state[index(x, y)] = Filled;
            const QRgb before = Opaque(flatRow[x]);
            const QRgb was = Opaque(pictureRow[x]);
            flatRow[x] = paint;
            pictureRow[x] = Recolour(was, before, paint, edge);
            if (undo != nullptr) undo->pixels.push_back({x, y, before, paint, was, pictureRow[x]});
            ++filled;
            for (const QPoint n : {QPoint(x - 1, y), QPoint(x + 1, y), QPoint(x, y - 1), QPoint(x, y + 1)})
                touchEdge(n.x(), n.y(), before);
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

void UndoFill(QImage& flat, QImage& picture, const FillUndo& undo) {
    if (picture.size() != flat.size()) return;
    // Last changed, first restored; a pixel drawn on since the fill keeps what was drawn.
    for (auto p = undo.pixels.rbegin(); p != undo.pixels.rend(); ++p) {
        if (!flat.rect().contains(p->x, p->y)) continue;
        QRgb& f = reinterpret_cast<QRgb*>(flat.scanLine(p->y))[p->x];
        QRgb& q = reinterpret_cast<QRgb*>(picture.scanLine(p->y))[p->x];
        if (Opaque(f) != p->flatAfter || Opaque(q) != p->pictureAfter) continue;
        f = p->flatBefore;
        q = p->pictureBefore;
    }
}

} // namespace orbel
