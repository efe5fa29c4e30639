#include "export/json_writer.h"

#include "theory/sequence_text.h"

#include <QJsonArray>
#include <QJsonDocument>
#include <QJsonObject>

namespace orbel::exporter {

namespace {

QString Trimmed(const std::string& text) {
    return QString::fromStdString(std::string(TrimBlanks(text)));
}

} // namespace

QByteArray SequenceJson(const ExportBuild& build) {
    const PlaySequence& seq = build.seq;
    QJsonArray notes;
    for (int i = 0; i < seq.SeqCount; ++i) {
        const auto n = static_cast<std::size_t>(i);
        notes.append(QJsonObject{
            {QStringLiteral("pitch"), seq.SeqPitch[n]},
            {QStringLiteral("dur"), seq.SeqDur[n]},
            {QStringLiteral("rest"), seq.SeqRest[n]},
            {QStringLiteral("tie"), seq.SeqTie[n]},
            {QStringLiteral("chord"), Trimmed(seq.SeqChord[n])},
            {QStringLiteral("barStart"), seq.SeqBarStart[n]},
            {QStringLiteral("beam"), seq.SeqBeam[n]},
            {QStringLiteral("degree"), Trimmed(seq.SeqDegree[n])},
        });
    }
    const QJsonObject root{
        {QStringLiteral("SeqCount"), seq.SeqCount},
        {QStringLiteral("BeatsPerBar"), seq.BeatsPerBar},
        {QStringLiteral("OctaveShift"), seq.OctaveShift},
        {QStringLiteral("RootKey"), build.settings.RootKey},
        {QStringLiteral("MajorSpelling"), seq.MajorSpelling},
        {QStringLiteral("title"), QString::fromStdString(build.title)},
        {QStringLiteral("notes"), notes},
    };
    return QJsonDocument(root).toJson(QJsonDocument::Indented);
}

} // namespace orbel::exporter
