#include "app/settings_file.h"

#include "datafiles/atomic_save.h"
#include "datafiles/bounded_read.h"
#include "datafiles/text_encoding.h"
#include "theory/kihon.h"
#include "theory/settings_table.h"

#include <QFile>
#include <QFileInfo>
#include <QtEndian>
#include <algorithm>
#include <bit>
#include <cstring>

namespace orbel {

namespace {

static constexpr char FieldPadding = ' ';

// Writes every field of the table at its offsets, little-endian; floats keep their exact bits; a switch is
// written as the record spelled it when it still has the value it was read with.
void WriteFields(const Settings& s, char* out) {
    ForEachSettingsField([&s, out](const auto& field, auto index) {
        using Field = std::remove_cvref_t<decltype(field)>;
        using Element = typename Field::Element;
        if (!field.inRecord) return;
        for (std::size_t i = 0; i < Field::Shape::Count; ++i) {
            const Element& value = ElementOf(s.*field.member, i);
            char* at = out + field.offsets[i];
            if constexpr (std::is_same_v<Element, bool>) {
                const std::int16_t read = s.spelling.switches[SwitchSlot<decltype(index)::value>()];
                const bool readOn = read == field.trueForm;
                qToLittleEndian<std::int16_t>(value == readOn ? read : (value ? field.trueForm : 0), at);
            } else if constexpr (std::is_floating_point_v<Element>) {
                qToLittleEndian(std::bit_cast<std::uint32_t>(value), at);
            } else if constexpr (std::is_integral_v<Element>) {
                qToLittleEndian(value, at);
            } else {
                std::copy(value.begin(), value.end(), at);
            }
        }
    });
}

// The table's fields fill the record exactly, none overlapping another.
consteval bool FieldsTileTheRecord() {
    std::array<int, settings_file::RecordBytes> owners{};
    ForEachSettingsField([&owners](const auto& field, auto) {
        using Field = std::remove_cvref_t<decltype(field)>;
        if (!field.inRecord) return;
        for (const std::int16_t offset : field.offsets)
            for (std::size_t b = 0; b < RecordBytesOf<typename Field::Element>; ++b)
                ++owners.at(static_cast<std::size_t>(offset) + b);
    });
    for (const int owner : owners)
        if (owner != 1) return false;
    return true;
}
static_assert(FieldsTileTheRecord());

void ReadFields(const char* in, Settings& s) {
    ForEachSettingsField([&s, in](const auto& field, auto index) {
        using Field = std::remove_cvref_t<decltype(field)>;
        using Element = typename Field::Element;
        if (!field.inRecord) return;
        for (std::size_t i = 0; i < Field::Shape::Count; ++i) {
            Element& value = ElementOf(s.*field.member, i);
            const char* at = in + field.offsets[i];
            if constexpr (std::is_same_v<Element, bool>) {
                const auto read = qFromLittleEndian<std::int16_t>(at);
                s.spelling.switches[SwitchSlot<decltype(index)::value>()] = read;
                value = read == field.trueForm;
            } else if constexpr (std::is_floating_point_v<Element>) {
                value = std::bit_cast<Element>(qFromLittleEndian<std::uint32_t>(at));
            } else if constexpr (std::is_integral_v<Element>) {
                value = qFromLittleEndian<Element>(at);
            } else {
                std::copy(at, at + value.size(), value.begin());
            }
        }
    });
}

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
    WriteFields(s, bytes.data());
    return bytes;
}

std::optional<Settings> DecodeSettingsRecord(QByteArrayView bytes) {
    if (bytes.size() != settings_file::RecordBytes) return std::nullopt;
    Settings s;
    ReadFields(bytes.data(), s);
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
