#include "playback_load.h"

#include "theory/prepare_build.h"

#include <QPaintEvent>
#include <QPainter>

namespace orbel::bench {

namespace {

using Steady = std::chrono::steady_clock;

// Where the marks go: the cursor walks along a staff-like band, dots and keys along their own rows.
constexpr int Margin = 40;
constexpr int CursorTop = 40;
constexpr int CursorBottom = 240;
constexpr int PixelsPerTick = 3;
constexpr int DotY = 320;
constexpr int DotSize = 12;
constexpr int KeyY = 520;
constexpr int KeyWidth = 14;
constexpr int KeyHeight = 80;
constexpr int KeySlots = 61;

int MarkX(int tick, int span) {
    return Margin + (tick * PixelsPerTick) % span;
}

// Counts a piece of work and adds the time it took.
class Timed {
public:
    explicit Timed(LoadWindow::Work& work) : work_(work), start_(Steady::now()) { ++work_.count; }
    ~Timed() { work_.time += Steady::now() - start_; }
    Timed(const Timed&) = delete;
    Timed& operator=(const Timed&) = delete;

private:
    LoadWindow::Work& work_;
    Steady::time_point start_;
};

} // namespace

LoadWindow::LoadWindow() : surface_(load::Width, load::Height, QImage::Format_RGB32) {
    setFixedSize(load::Width, load::Height);
    setAttribute(Qt::WA_OpaquePaintEvent);
    surface_.fill(Qt::white);
    frameTimer_.setInterval(load::FrameMs);
    QObject::connect(&frameTimer_, &QTimer::timeout, this, [this] { drawFrame(); });
}

void LoadWindow::startFrames() {
    if (framesEnabled_) frameTimer_.start();
}

void LoadWindow::stopFrames() {
    frameTimer_.stop();
}

void LoadWindow::resetCounts() {
    frames_ = {};
    marks_ = {};
    paints_ = {};
}

void LoadWindow::paintEvent(QPaintEvent* event) {
    const Timed timed(paints_);
    QPainter painter(this);
    painter.drawImage(event->rect(), surface_, event->rect());
}

void LoadWindow::drawFrame() {
    const Timed timed(frames_);
    QPainter painter(&surface_);
    painter.fillRect(surface_.rect(), Qt::white);
    // Lines that move a little from frame to frame, so that no two frames are the same work.
    for (int i = 0; i < load::LinesPerFrame; ++i) {
        const int x = (i * 37 + frames_.count * 5) % load::Width;
        const int y = (i * 53 + frames_.count * 3) % load::Height;
        painter.setPen(QColor::fromRgb(static_cast<QRgb>(0x102030U * static_cast<unsigned>(i % 7))));
        painter.drawLine(x, y, (x + 180) % load::Width, (y + 90) % load::Height);
    }
    painter.setPen(Qt::black);
    for (int i = 0; i < load::TextsPerFrame; ++i) {
        painter.drawText(Margin + (i % 4) * 240, 280 + (i / 4) * 24,
                         QStringLiteral("Dm7 G7 CM7  %1 / %2").arg(frames_.count).arg(i));
    }
    painter.end();
    cursorX_ = -1; // the fill wiped it
    update();
}

void LoadWindow::xorCursor(int x) {
    QPainter painter(&surface_);
    painter.setCompositionMode(QPainter::RasterOp_SourceXorDestination);
    painter.setPen(Qt::white);
    painter.drawLine(x, CursorTop, x, CursorBottom);
    update(x - 1, CursorTop, 3, CursorBottom - CursorTop + 1);
}

void LoadWindow::moveCursor(int tick) {
    const Timed timed(marks_);
    if (cursorX_ >= 0) xorCursor(cursorX_);
    cursorX_ = MarkX(tick, load::Width - 2 * Margin);
    xorCursor(cursorX_);
}

void LoadWindow::hideCursor() {
    const Timed timed(marks_);
    if (cursorX_ >= 0) xorCursor(cursorX_);
    cursorX_ = -1;
}

void LoadWindow::showDot(int tick) {
    const Timed timed(marks_);
    const int x = MarkX(tick, load::Width - 2 * Margin);
    QPainter painter(&surface_);
    painter.setBrush(Qt::red);
    painter.drawEllipse(x, DotY, DotSize, DotSize);
    update(x, DotY, DotSize + 1, DotSize + 1);
}

void LoadWindow::showKey(int tick) {
    const Timed timed(marks_);
    const int x = Margin + (tick % KeySlots) * KeyWidth;
    QPainter painter(&surface_);
    painter.fillRect(x, KeyY, KeyWidth - 1, KeyHeight, Qt::blue);
    update(x, KeyY, KeyWidth, KeyHeight);
}

void LoadHost::MovePlayCursor(int tick, bool /*first*/) {
    window_.moveCursor(tick);
}

void LoadHost::CircleShowTick(int tick, bool /*first*/) {
    window_.showDot(tick);
}

} // namespace orbel::bench
