#pragma once
// Names shown in the narrow drop-down lists take their half-width form, so that full-width Latin letters,
// digits, common symbols and katakana take half the room. Only the displayed text changes; the data files
// keep what was written.

#include <QString>

namespace orbel {

// The narrow form of text: blanks at both ends removed; full-width Ａ..Ｚ, ａ..ｚ and ０..９ become ASCII;
// the symbols ＋ ー － ＊ 、 ＝ ＆ ％ ＃ （ ） and the full-width blank become their ASCII forms; katakana
// become half-width katakana, a voiced one (ガ, パ …) its half-width base followed by the voicing mark. The
// long-vowel mark ー therefore ends up as an ASCII hyphen. Everything else (hiragana, kanji, ★ …) is kept.
QString NarrowText(const QString& text);

} // namespace orbel
