#pragma once
// cfg.infdat: the settings record as one 316-byte little-endian record, and its load and save.

#include "app/prompter.h"
#include "theory/settings.h"

#include <QByteArray>
#include <QByteArrayView>
#include <QString>
#include <optional>
#include <string>

namespace orbel {

namespace settings_file {
static constexpr qsizetype RecordBytes = 316;
static constexpr const char* FileName = "cfg.infdat";
static constexpr const char* FactoryFileName = "cfg_org.infdat";
static constexpr const char* UnexpectedError = "予期しないエラー発生";
static constexpr int LoadMode = 0;
static constexpr int SaveMode = 1;
} // namespace settings_file

// The record's bytes, field by field at the offsets of the file layout. UserFilePath is not stored: the
// caller copies it into field 0 first (StoreUserFilePath).
QByteArray EncodeSettingsRecord(const Settings& s);
// nullopt unless bytes is exactly one record. UserFilePath is left empty (see UserFilePathFromField).
std::optional<Settings> DecodeSettingsRecord(QByteArrayView bytes);

// The working copy of field 0: its bytes read as UTF-8 when valid, else as CP932, NULs made blanks, trimmed.
std::string UserFilePathFromField(const Settings& s);
// Copies UserFilePath into field 0: UTF-8 padded with blanks; a longer path is cut after its last whole
// character that fits.
void StoreUserFilePath(Settings& s);

// The factory record cfg_org.infdat of programFolder with its working UserFilePath, when the file is there
// as one whole record.
std::optional<Settings> ReadFactoryRecord(const QString& programFolder);

// Loads (mode 0) or saves (mode 1) cfg.infdat in programFolder, then applies the load rules. A missing file
// or one of the wrong length switches a load into a save of the memory record (mode becomes 1), without a
// message. Any other failure shows "予期しないエラー発生" and keeps the memory record. Saving is atomic.
void SettingsFileIO(int& mode, Settings& s, const QString& programFolder, Prompter& prompter);

} // namespace orbel
