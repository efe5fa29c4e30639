#include "app/settings_file.h"

#include "datafiles/atomic_save.h"
#include "datafiles/bounded_read.h"
#include "datafiles/text_encoding.h"
#include "theory/kihon.h"

#include <QFile>
#include <QFileInfo>
#include <QtEndian>
#include <algorithm>
#include <bit>
#include <cstring>

namespace orbel {

namespace {

static constexpr char FieldPadding = ' ';

// Walks every field of the record with its offset in the file; one list serves both directions, so reading
// and writing cannot disagree. Swatch 6 sits before swatch 5 in the file.
template <typename Record, typename Visitor> void EachField(Record& s, Visitor&& field) {
    field(0, s.UserFileField);
    field(130, s.RootKey);
    field(132, s.RootProgression);
    field(134, s.TransposeSemitones);
    field(136, s.MelodyProgram);
    field(138, s.SoundOnChange);
    field(140, s.PitchBaseC);
    field(142, s.StudyType);
    field(144, s.IIVIMode[0]);
    field(146, s.IIVIMode[1]);
    for (int i = 0; i <= 4; ++i)
        field(148 + 4 * i, s.ViewColour[i]);
    field(168, s.ViewColour[6]);
    field(172, s.ViewColour[5]);
    for (int i = 0; i < 6; ++i)
        field(176 + 4 * i, s.Reserved17[i]);
    field(200, s.Tempo);
    field(202, s.ShowScore);
    field(204, s.ShowDiagram);
    field(206, s.ShowKeyboard);
    field(208, s.Reserved27);
    field(210, s.RepeatCount);
    field(212, s.RepeatOn);
    field(214, s.ConcertPitchPlay);
    field(216, s.Reserved31);
    field(218, s.Reserved32);
    field(220, s.EntryDisplay);
    field(222, s.SwingOn);
    field(224, s.RangeLimitOn);
    field(226, s.RangeHigh);
    field(228, s.RangeLow);
    field(230, s.CountInOn);
    field(232, s.ClickOn);
    field(234, s.SwingLevel);
    field(236, s.ChordProgram);
    field(238, s.AccompanimentOn);
    for (int i = 0; i < settings_limits::StudyItemSlots; ++i)
        field(240 + 2 * i, s.StudyItem[i]);
    field(262, s.ClickSound);
    field(264, s.BassSound);
    field(266, s.MelodyOn);
    field(268, s.Reserved47);
    field(270, s.MelodyVolume);
    field(272, s.ChordVolume);
    field(274, s.ClickVolume);
    field(276, s.BassVolume);
    field(278, s.Reserved52);
    field(280, s.UpDown);
    field(282, s.HideDemoOffer);
    field(284, s.KeyboardSetsRoot);
    field(286, s.Reserved56);
    field(288, s.Reserved57);
    for (int i = 0; i < 6; ++i)
        field(292 + 4 * i, s.Reserved58[i]);
}

using UserFileBytes = std::array<char, settings_limits::UserFileFieldBytes>;

// Writes each field at its offset, little-endian; floats keep their exact bits.
struct FieldWriter {
    char* out;
    void operator()(int offset, const UserFileBytes& text) const {
        std::copy(text.begin(), text.end(), out + offset);
    }
    template <typename Integer> void operator()(int offset, Integer value) const {
        qToLittleEndian(value, out + offset);
    }
    void operator()(int offset, float value) const { (*this)(offset, std::bit_cast<std::uint32_t>(value)); }
};

struct FieldReader {
    const char* in;
    void operator()(int offset, UserFileBytes& text) const {
        std::copy(in + offset, in + offset + text.size(), text.begin());
    }
    template <typename Integer> void operator()(int offset, Integer& value) const {
        value = qFromLittleEndian<Integer>(in + offset);
    }
    void operator()(int offset, float& value) const {
        value = std::bit_cast<float>(qFromLittleEndian<std::uint32_t>(in + offset));
    }
};

// Why a load could not read the record.
enum class ReadOutcome { Read, Missing, WrongLength, Failed };

ReadOutcome ReadRecord(const QString& path, Settings& s) {
    const BoundedRead file = ReadRegularFile(path, settings_file::RecordBytes);
    if (!file.bytes) {
        switch (file.failure) {
        case ReadFailure::Missing:
            return ReadOutcome::Missing;
        case ReadFailure::TooLarge:
            return ReadOutcome::WrongLength;
        default:
            return ReadOutcome::Failed;
        }
    }
    const std::optional<Settings> record = DecodeSettingsRecord(*file.bytes);
    if (!record) return ReadOutcome::WrongLength;
    s = *record;
    s.UserFilePath = UserFilePathFromField(s);
    return ReadOutcome::Read;
}

} // namespace

QByteArray EncodeSettingsRecord(const Settings& s) {
    QByteArray bytes(settings_file::RecordBytes, '\0');
    EachField(s, FieldWriter{bytes.data()});
    return bytes;
}

std::optional<Settings> DecodeSettingsRecord(QByteArrayView bytes) {
    if (bytes.size() != settings_file::RecordBytes) return std::nullopt;
    Settings s;
    EachField(s, FieldReader{bytes.data()});
    return s;
}

std::string UserFilePathFromField(const Settings& s) {
    const QString text = DecodeBytes(QByteArrayView(s.UserFileField.data(), s.UserFileField.size()));
    return CleanFixedText(text.toStdString());
}

void StoreUserFilePath(Settings& s) {
    const std::string& path = s.UserFilePath;
    std::size_t length = std::min(path.size(), s.UserFileField.size());
    // Step back over continuation bytes so that no character is cut in two.
    if (length < path.size()) {
        while (length > 0 && (static_cast<unsigned char>(path[length]) & 0xC0) == 0x80)
            --length;
    }
    s.UserFileField.fill(FieldPadding);
    std::copy(path.begin(), path.begin() + static_cast<std::ptrdiff_t>(length), s.UserFileField.begin());
}

std::optional<Settings> ReadFactoryRecord(const QString& programFolder) {
    const BoundedRead file =
        ReadRegularFile(programFolder + QLatin1Char('/') + QLatin1String(settings_file::FactoryFileName),
                        settings_file::RecordBytes);
    if (!file.bytes) return std::nullopt;
    std::optional<Settings> record = DecodeSettingsRecord(*file.bytes);
    if (record) record->UserFilePath = UserFilePathFromField(*record);
    return record;
}

void SettingsFileIO(int& mode, Settings& s, const QString& programFolder, Prompter& prompter) {
    const QString path = programFolder + QLatin1Char('/') + QLatin1String(settings_file::FileName);
    bool failed = false;
    if (mode == settings_file::LoadMode) {
        switch (ReadRecord(path, s)) {
        case ReadOutcome::Read:
            break;
        case ReadOutcome::Missing:
        case ReadOutcome::WrongLength:
            // Start again as a save, so the memory record (all zeros on a first start) becomes the file.
            mode = settings_file::SaveMode;
            break;
        case ReadOutcome::Failed:
            failed = true;
            break;
        }
    }
    if (mode == settings_file::SaveMode && !WriteFileAtomic(path, EncodeSettingsRecord(s))) failed = true;
    // Saving too: the rules change only the memory copy, after the record was written.
    ApplyLoadRules(s);
    if (failed) prompter.message(QString::fromUtf8(settings_file::UnexpectedError));
}

} // namespace orbel
