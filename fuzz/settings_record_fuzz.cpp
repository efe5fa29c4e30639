// The settings record: any 316 bytes decode, and encode back to the same bytes; the load rules leave every
// field in its range, and a second pass changes nothing.

#include "app/settings_file.h"
#include "fuzz_support.h"

using namespace orbel;

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
    const QByteArrayView bytes = fuzz::Bytes(data, size);
    const std::optional<Settings> record = DecodeSettingsRecord(bytes);
    fuzz::Require(record.has_value() == (size == settings_file::RecordBytes), "only a whole record decodes");
    if (!record) return 0;
    fuzz::Require(EncodeSettingsRecord(*record) == bytes, "decode then encode gives the same bytes");

    Settings ruled = *record;
    ApplyLoadRules(ruled);
    Settings twice = ruled;
    ApplyLoadRules(twice);
    fuzz::Require(EncodeSettingsRecord(twice) == EncodeSettingsRecord(ruled), "the load rules are settled");
    fuzz::Require(ruled.RootKey >= 0 && ruled.RootKey <= 11, "root");
    fuzz::Require(ruled.TransposeSemitones >= -20 && ruled.TransposeSemitones <= 20, "transposition");
    fuzz::Require(ruled.MelodyProgram >= 1 && ruled.MelodyProgram <= 41, "melody instrument");
    fuzz::Require(ruled.PitchBaseC >= 0 && ruled.PitchBaseC <= 120, "lowest C");
    fuzz::Require(ruled.RangeLow >= 1 && ruled.RangeLow <= 71 && ruled.RangeHigh >= 1 &&
                      ruled.RangeHigh <= 71,
                  "range");
    fuzz::Require(ruled.StudyType >= 0 && ruled.StudyType <= 4, "study type");
    return 0;
}
