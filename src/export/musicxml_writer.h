#pragma once
// The study item as MusicXML 4.0 (partwise) for notation programs: one part, the bars as the staff draws
// them, each note spelled as the staff spells it in its key, rests, dots, ties, beams, triplets as tuplets,
// chord symbols as harmony, the title; with allKeys the twelve keys round the cycle of fourths one after
// another, each opening with a rehearsal mark naming its key.

#include "export/export_build.h"

#include <QByteArray>
#include <QStringList>

namespace orbel::exporter {

namespace musicxml {
static constexpr int Divisions = 24; // per quarter note: the sequence's own ticks
} // namespace musicxml

struct MusicXml {
    QByteArray bytes;
    QStringList notices;
};

MusicXml WriteMusicXml(const ExportBuild& build, bool allKeys);

} // namespace orbel::exporter
