#pragma once
// The views of the main window together: the drawing surface they share and, one by one, the staff, the
// keyboard and the circle diagram. The player's view notifications come here; the window only says how
// large the views' area is and shows the picture.

#include "sound/player_views.h"
#include "views/circle_view.h"
#include "views/keyboard_view.h"
#include "views/staff_layout.h"
#include "views/surface.h"

#include <QRectF>
#include <QSize>
#include <functional>
#include <memory>
#include <optional>

namespace orbel {

class ViewSet final : public PlayerViews {
public:
    // repaint asks whatever shows the surface to show an area of it again (in logical units; a null rectangle
    // means all of it).
    using Repaint = std::function<void(const QRectF& area)>;
    explicit ViewSet(Repaint repaint = {});

    // The views' area: its size in device-independent pixels, the screen's device pixel ratio, and the
    // logical units it spans (about a twip each, y upward). Starts a fresh, blank surface when any changes.
    void resize(QSize pixels, double devicePixelRatio, double logicalWidth, double logicalHeight);
    // Nothing until the first resize.
    const Surface* surface() const { return surface_.get(); }
    Surface* surface() { return surface_.get(); }

    // Shows the staff as laid out and the keyboard with its content (the circle joins them later).
    void show(const StaffLayout& staff, const KeyboardContent& keyboard, const CircleDiagram& circle = {});
    // The size of the degree font's "4" on the surface, for the circle's points (a fallback before the
    // surface exists).
    QSizeF degreeTextSize(int points);
    void showStaff(const StaffLayout& staff);
    const KeyboardView& keyboard() const { return keyboard_; }
    // What the staff last showed: the play cursor's places come from it.
    const StaffLayout* staff() const { return staff_.get(); }

    // The metronome mark before a repetition: a quarter note, "=", the tempo and the caption (the
    // repetition "2/4"), over whatever mark was there; a redraw of the views removes it.
    void DrawTempoMark(double x, double y, int tempo, const QString& caption);
    // Blanks the area of the last mark drawn, if a redraw has not already removed it.
    void EraseTempoMark();
    // A line of text under the tempo mark at (x, y) (the practice check's score); empty clears it.
    void DrawScoreLine(double x, double y, const QString& text);
    // A key held (down) or released on the user's MIDI keyboard, as a pitch of the keyboard view.
    void showUserKey(int pitch, bool right, bool down);

    // The play cursor: a line through the staff at the note that starts at tick, drawn so that drawing it
    // again removes it.
    void MovePlayCursor(int tick, bool first) override;
    // Told of every cursor move as it is drawn (for measuring the views against the sound).
    void setCursorObserver(std::function<void(int tick, bool first)> observer) {
        cursorObserver_ = std::move(observer);
    }
    void HidePlayCursor() override;

    // A press on the keyboard: the key under a point (when the keyboard is shown and the point lies on
    // it), the pressed key in red, and the plain keys again at the release.
    std::optional<int> keyAt(double x, double y) const;
    bool keyboardShown() const { return keyboard_.shown(); }
    int keyboardTop() const { return keyboard_.keys()[1].top; }
    void pressKey(int key);

    void CircleShowTick(int tick, bool first) override;
    void CircleEndPlay() override;

    void ShowPlayedKey(int tick) override;
    void EndPlayKeyboard() override;
    void DrawKeys() override;

    void redrawViews() override;

private:
    Repaint repaint_;
    void repaint(const QRectF& area = {}) const {
        if (repaint_) repaint_(area);
    }
    std::unique_ptr<Surface> surface_;
    std::unique_ptr<StaffLayout> staff_;
    KeyboardView keyboard_;
    CircleDiagram circle_;
    CirclePlayMarker circleMarker_;
    std::function<void(int, bool)> cursorObserver_;
    // After a change of the keyboard or the circle, their areas are shown anew.
    void keyboardChanged();
    void circleChanged();
    struct CursorLine {
        double x = 0;
        double y1 = 0;
        double y2 = 0;
    };
    // The cursor as last drawn; none once a redraw has wiped it.
    std::optional<CursorLine> cursor_;
    // The area the tempo mark blanked and drew in, while it stands.
    std::optional<QRectF> tempoMark_;
    // What lay under the first mark of a performance, put back when the mark goes.
    std::optional<SavedArea> underTempoMark_;
    void drawCursor(const CursorLine& line);
    void repaintCursor(const CursorLine& line) const;
    QSize pixels_;
    double devicePixelRatio_ = 0;
    double logicalWidth_ = 0;
    double logicalHeight_ = 0;
};

} // namespace orbel
