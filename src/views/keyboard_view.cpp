#include "views/keyboard_view.h"

#include "views/colour.h"
#include "views/surface.h"

#include <algorithm>
#include <cstdlib>

namespace orbel {

namespace {

namespace frame {
constexpr int Left = 300;
constexpr int Below = 50;
constexpr int RightInside = 150;
constexpr int Above = 500;
} // namespace frame

// Keys are repainted over themselves at every note: crisp, so that their edges do not darken.
void FillKey(Surface& s, const KeyRect& r, std::uint32_t colour, bool outline) {
    s.setForeColor(colour);
    s.box(r.left, r.bottom, r.right, r.top, true, true);
    if (outline) {
        s.setForeColor(bgr::Black);
        s.box(r.left, r.bottom, r.right, r.top, false, true);
    }
}

} // namespace

KeyboardContent KeyboardFor(const PlaySequence& seq, bool shown, bool entryDisplay, int studyType,
                            std::uint32_t markColour, std::uint32_t playedColour, double frame2Left) {
    KeyboardContent c;
    c.shown = shown;
    c.studyType = studyType;
    c.marks = MarkedKeys(seq, entryDisplay);
    c.markColour = markColour;
    c.playedColour = playedColour;
    c.frame2Left = frame2Left;
    int tick = 0;
    for (int i = 0; i < seq.SeqCount; ++i) {
        const auto at = static_cast<std::size_t>(i);
        const bool sounds = seq.SeqRest[at] != 1 && seq.SeqTie[at] != 1;
        c.melody.push_back({tick, sounds ? seq.SeqPitch[at] + 12 * seq.OctaveShift : -1});
        tick += seq.SeqDur[at];
    }
    return c;
}

void KeyboardView::setContent(const KeyboardContent& content) {
    content_ = content;
    lit_.reset();
    keys_ = BuildKeyTable(content.frame2Left);
}

void KeyboardView::DrawKeyboard(Surface& surface) const {
    if (!content_.shown) return;
    const KeyRect& first = keys_[1];
    const KeyRect& last = keys_[keyboard::KeyCount];
    DrawBevelBox(surface, first.left - frame::Left, first.bottom - frame::Below,
                 last.right - frame::RightInside, last.top + frame::Above, true);
    DrawKeys(surface);
}

void KeyboardView::DrawKeys(Surface& surface) const {
    if (content_.shown) paintKeys(surface, false);
}

void KeyboardView::DrawKeyMarks(Surface& surface) const {
    if (content_.shown) paintKeys(surface, true);
}

void KeyboardView::paintKeys(Surface& surface, bool marked) const {
    lit_.reset();
    // The top C only closes the frame; the white keys first, the black ones over them.
    for (int k = 1; k < keyboard::KeyCount; ++k) {
        const KeyRect& r = keys_[static_cast<std::size_t>(k)];
        if (r.white)
            FillKey(surface, r,
                    marked && content_.marks[static_cast<std::size_t>(k)] ? content_.markColour : bgr::White,
                    true);
    }
    for (int k = 1; k < keyboard::KeyCount; ++k) {
        const KeyRect& r = keys_[static_cast<std::size_t>(k)];
        if (!r.white)
            FillKey(surface, r,
                    marked && content_.marks[static_cast<std::size_t>(k)] ? content_.markColour : bgr::Black,
                    false);
    }
    for (const auto& [key, right] : held_)
        paintHeld(surface, key, right);
}

void KeyboardView::ShowKeyColour(Surface& surface, int pitch) const {
    const std::optional<int> key = KeyOfPitch(pitch);
    if (!key) return;
    const KeyRect& r = keys_[static_cast<std::size_t>(*key)];
    if (!r.white) {
        FillKey(surface, r, content_.playedColour, false);
        return;
    }
    FillKey(surface, r, content_.playedColour, true);
    // The black neighbours lie over the white key's corners: they are painted again on top.
    for (const int n : {*key - 1, *key + 1}) {
        if (n < 1 || n > keyboard::KeyCount) continue;
        const KeyRect& b = keys_[static_cast<std::size_t>(n)];
        if (!b.white)
            FillKey(surface, b,
                    content_.marks[static_cast<std::size_t>(n)] ? content_.markColour : bgr::Black, false);
    }
}

void KeyboardView::restoreKey(Surface& surface, int key) const {
    const KeyRect& r = keys_[static_cast<std::size_t>(key)];
    const bool marked = content_.marks[static_cast<std::size_t>(key)];
    FillKey(surface, r, marked ? content_.markColour : (r.white ? bgr::White : bgr::Black), r.white);
    if (const auto held = held_.find(key); held != held_.end()) paintHeld(surface, key, held->second);
    if (!r.white) return;
    for (const int n : {key - 1, key + 1}) {
        if (n < 1 || n >= keyboard::KeyCount) continue;
        const KeyRect& b = keys_[static_cast<std::size_t>(n)];
        if (!b.white)
            FillKey(surface, b,
                    content_.marks[static_cast<std::size_t>(n)] ? content_.markColour : bgr::Black, false);
        if (const auto held = held_.find(n); held != held_.end()) paintHeld(surface, n, held->second);
    }
}

void KeyboardView::ShowPlayedKey(Surface& surface, int tick) {
    if (!content_.shown) return;
    // Only the key lit before goes back: the same picture as drawing all the marks again, at a note's pace.
    if (lit_) restoreKey(surface, *lit_);
    lit_.reset();
    const auto note = std::find_if(content_.melody.begin(), content_.melody.end(),
                                   [tick](const KeyboardContent::Note& n) { return n.tick == tick; });
    if (note != content_.melody.end() && note->pitch >= 0) {
        ShowKeyColour(surface, note->pitch);
        lit_ = KeyOfPitch(note->pitch);
        // Keys held on the user's keyboard keep their band over the melody's colour.
        for (const auto& [key, right] : held_)
            if (lit_ && std::abs(key - *lit_) <= 1) paintHeld(surface, key, right);
    }
}

void KeyboardView::PaintPressedKey(Surface& surface, int key) const {
    if (key < 1 || key > keyboard::KeyCount) return;
    constexpr std::uint32_t Red = 0x0000FF;
    const KeyRect& r = keys_[static_cast<std::size_t>(key)];
    FillKey(surface, r, Red, false);
    if (!r.white) return;
    for (const int n : {key - 1, key + 1}) {
        if (n < 1 || n >= keyboard::KeyCount) continue;
        const KeyRect& b = keys_[static_cast<std::size_t>(n)];
        if (!b.white) FillKey(surface, b, bgr::Black, false);
    }
}

void KeyboardView::ShowUserKey(Surface& surface, int pitch, bool right) {
    const std::optional<int> key = KeyOfPitch(pitch);
    if (!key) return;
    held_[*key] = right;
    if (content_.shown) paintHeld(surface, *key, right);
}

void KeyboardView::paintHeld(Surface& surface, int key, bool right) const {
    constexpr std::uint32_t Green = 0x00B000; // BGR
    constexpr std::uint32_t Red = 0x0000FF;
    constexpr double BandShare = 0.3;
    constexpr int Inset = 20;
    const KeyRect& r = keys_[static_cast<std::size_t>(key)];
    KeyRect band = r;
    band.left += Inset;
    band.right -= Inset;
    band.bottom += Inset;
    band.top = r.bottom + static_cast<int>(BandShare * (r.top - r.bottom));
    FillKey(surface, band, right ? Green : Red, false);
}

void KeyboardView::ClearUserKey(Surface& surface, int pitch) {
    const std::optional<int> key = KeyOfPitch(pitch);
    if (!key) return;
    held_.erase(*key);
    if (!content_.shown) return;
    restoreKey(surface, *key);
    if (lit_ == key) {
        const auto note =
            std::find_if(content_.melody.begin(), content_.melody.end(),
                         [&](const KeyboardContent::Note& n) { return KeyOfPitch(n.pitch) == key; });
        if (note != content_.melody.end()) ShowKeyColour(surface, note->pitch);
    }
}

void KeyboardView::EndPlayKeyboard(Surface& surface) {
    // Phrases mark no keys, but the key of their last note must not stay lit either: a stop's plain redraw
    // can come before the last notes' own notifications.
    DrawKeyMarks(surface);
    lit_.reset();
}

} // namespace orbel
