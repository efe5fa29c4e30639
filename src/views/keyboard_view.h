#pragma once
// Paints the keyboard: its bevel frame, the keys in their plain colours, the keys of the sequence marked,
// and the key of the note being played.

#include "views/keyboard_layout.h"

#include <cstdint>
#include <map>
#include <optional>
#include <vector>

namespace orbel {

class Surface;

// What the keyboard shows besides its keys.
struct KeyboardContent {
    bool shown = false;
    int studyType = 0;
    std::array<bool, keyboard::Marks> marks{};
    std::uint32_t markColour = 0;   // ViewColour(5)
    std::uint32_t playedColour = 0; // ViewColour(6)
    double frame2Left = 0;
    // The melody by tick: where each entry starts and the pitch it sounds (none for a rest or a tie).
    struct Note {
        int tick = 0;
        int pitch = -1;
    };
    std::vector<Note> melody;
};

// The content for a sequence as the window has it.
KeyboardContent KeyboardFor(const PlaySequence& seq, bool shown, bool entryDisplay, int studyType,
                            std::uint32_t markColour, std::uint32_t playedColour, double frame2Left);

class KeyboardView {
public:
    void setContent(const KeyboardContent& content);
    const KeyTable& keys() const { return keys_; }

    // The frame and the plain keys; nothing unless shown.
    void DrawKeyboard(Surface& surface) const;
    void DrawKeys(Surface& surface) const;
    // The keys with the sequence's keys in the mark colour.
    void DrawKeyMarks(Surface& surface) const;
    // The key of the melody at tick lit over the marks; a rest or a tie lights none.
    void ShowPlayedKey(Surface& surface, int tick);
    // The end of a play-through: the marks come back (scales, chords and patterns only).
    void EndPlayKeyboard(Surface& surface);
    // A key pressed with the mouse, in red; its black neighbours stay on top.
    void PaintPressedKey(Surface& surface, int key) const;
    // A key the user holds on a MIDI keyboard: a band of its own colour at the key's front (green when it
    // is right, red when not), so that the melody's colour above it stays in sight. Released, the key
    // shows what it showed before.
    void ShowUserKey(Surface& surface, int pitch, bool right);
    void ClearUserKey(Surface& surface, int pitch);
    bool shown() const { return content_.shown; }

private:
    void paintKeys(Surface& surface, bool marked) const;
    void ShowKeyColour(Surface& surface, int pitch) const;
    // One key (and, for a white key, the black keys over its corners) in its marked or plain colour.
    void restoreKey(Surface& surface, int key) const;

    KeyboardContent content_;
    KeyTable keys_{};
    // The key lit now: only it has to go back when the next one lights.
    mutable std::optional<int> lit_;
    // The keys held on the user's keyboard, and whether each was right: painted again over every redraw.
    std::map<int, bool> held_;
    void paintHeld(Surface& surface, int key, bool right) const;
};

} // namespace orbel
