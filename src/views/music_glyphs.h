#pragma once
// Every character of the music font ZephMusicFont that the staff prints, named once. The font generator
// (tools/musicfont) reads this table to put each glyph at its code point, and the staff and the tests use
// the names. Codes above 127 are the 8-bit character codes the staff has always used.

namespace orbel::music_glyph {

static constexpr char16_t TrebleClef = u'&';
static constexpr char16_t CommonTime = u'c';
static constexpr char16_t ThreeFourTime = u'A';
static constexpr char16_t WholeNote = u'w';
static constexpr char16_t HalfNoteUp = u'h';
static constexpr char16_t HalfNoteDown = u'H';
static constexpr char16_t QuarterNoteUp = u'q';
static constexpr char16_t QuarterNoteDown = u'Q';
static constexpr char16_t EighthNoteUp = u'e';
static constexpr char16_t EighthNoteDown = u'E';
static constexpr char16_t SixteenthNoteUp = u'x';
static constexpr char16_t SixteenthNoteDown = u'X';
static constexpr char16_t ThirtySecondNoteUp = u'V';
static constexpr char16_t ThirtySecondNoteDown = u'W';
static constexpr char16_t NoteHead = 0xCF; // a head without stem: beamed notes
static constexpr char16_t QuarterRest = 0xCE;
static constexpr char16_t EighthRest = 0xC4;
static constexpr char16_t SixteenthRest = 0xC5;
static constexpr char16_t ThirtySecondRest = u's';
static constexpr char16_t Sharp = u'#';
static constexpr char16_t Flat = u'b';
static constexpr char16_t Natural = u'n';

} // namespace orbel::music_glyph
