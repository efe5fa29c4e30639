#pragma once
// The window work a performance competes with on the user-interface thread: a window that redraws a busy
// picture every frame, and a player host whose cursor calls paint small marks on it, as the staff, circle
// and keyboard do. All of it runs in the yield of the deadline wait, so it is what delays the player's next
// messages; the time spent drawing is counted so that its share of the processor can be told apart.

#include "app/program_state.h"
#include "sound/player_views.h"

#include <QImage>
#include <QTimer>
#include <QWidget>
#include <chrono>

namespace orbel::bench {

namespace load {
static constexpr int Width = 1024;
static constexpr int Height = 640;
// About 60 frames a second. Not 16 ms: a beat at tempo 300 with swing is 192 ms, twelve such frames, and the
// frames would always meet the same ticks; a display's refresh keeps no step with the tempo.
static constexpr int FrameMs = 17;
static constexpr int LinesPerFrame = 300;
static constexpr int TextsPerFrame = 24;
} // namespace load

class LoadWindow : public QWidget {
public:
    LoadWindow();

    // The frame timer: a full redraw of the picture every FrameMs while running. Without frames only the
    // player's marks are drawn.
    void setFramesEnabled(bool enabled) { framesEnabled_ = enabled; }
    bool framesEnabled() const { return framesEnabled_; }
    void startFrames();
    void stopFrames();

    // The player's small paints: each marks what it touched for the next repaint.
    void moveCursor(int tick);
    void hideCursor();
    void showDot(int tick);
    void showKey(int tick);

    // Since the last reset: the frames drawn, the player's marks and the window's paints (blits), each
    // with the time it took.
    struct Work {
        int count = 0;
        std::chrono::nanoseconds time{};
    };
    const Work& frames() const { return frames_; }
    const Work& marks() const { return marks_; }
    const Work& paints() const { return paints_; }
    void resetCounts();

protected:
    // Blits the picture, as the views do with their surfaces.
    void paintEvent(QPaintEvent* event) override;

private:
    void drawFrame();
    // XORs the cursor line at x: drawn twice it is gone.
    void xorCursor(int x);

    QImage surface_;
    QTimer frameTimer_;
    bool framesEnabled_ = true;
    int cursorX_ = -1;
    Work frames_;
    Work marks_;
    Work paints_;
};

// The player's window side: cursor calls paint on the load window.
class LoadHost : public PlayerViews {
public:
    LoadHost(LoadWindow& window, ProgramState& state) : window_(window), state_(state) {}

    void MovePlayCursor(int tick, bool first) override;
    void HidePlayCursor() override { window_.hideCursor(); }
    void CircleShowTick(int tick, bool first) override;
    void ShowPlayedKey(int tick) override { window_.showKey(tick); }

private:
    LoadWindow& window_;
    ProgramState& state_;
};

} // namespace orbel::bench
