#pragma once
// Reading a lead sheet written as MusicXML (score-partwise, uncompressed) into the tune model: the chord
// symbols of the first part that has any, with their beats, the bars' marks, repeats, endings and jumps, and
// the title, composer, key and time. Bounded in size and in what it keeps, so that a damaged or hostile file
// costs neither unbounded time nor memory; nothing is ever written.

#include "theory/tune.h"

#include <QByteArrayView>
#include <QString>
#include <optional>

namespace orbel {

namespace musicxml_limits {
// A lead sheet is tens of kilobytes; a full score of a long work a few megabytes.
static constexpr qint64 MaxFileBytes = 16 * 1024 * 1024;
} // namespace musicxml_limits

struct MusicXmlTuneResult {
    std::optional<Tune> tune;
    QString error; // why not, in a sentence a user can read; empty exactly when tune is there
};

// The tune in a MusicXML document's bytes.
MusicXmlTuneResult ParseMusicXmlTune(QByteArrayView data);

// The tune in the MusicXML file at path (a compressed .mxl file is refused with a request for plain
// MusicXML).
MusicXmlTuneResult ReadMusicXmlTune(const QString& path);

} // namespace orbel
