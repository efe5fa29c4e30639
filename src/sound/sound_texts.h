#pragma once
// Fixed texts of the sound layer.
// Thread: any thread (constant texts).

#include <QString>

namespace orbel::sound_texts {

inline const QString MidiOpenFailed = QStringLiteral("MIDIデバイスオープンに失敗しました");

} // namespace orbel::sound_texts
