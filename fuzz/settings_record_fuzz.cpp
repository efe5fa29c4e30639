// The settings record: any 316 bytes decode, and encode back to the same bytes; the load rules leave every
// field with a range in it, and a second pass changes nothing.

#include "app/settings_file.h"
#include "fuzz_support.h"
#include "theory/settings_table.h"

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
    ForEachSettingsField([&ruled](const auto& field, auto) {
        using Field = std::remove_cvref_t<decltype(field)>;
        using Element = typename Field::Element;
        if constexpr (std::is_arithmetic_v<Element> && !std::is_same_v<Element, bool>) {
            if (field.rule.kind != LoadRule::Kind::Clamp) return;
            for (std::size_t i = 0; i < Field::Shape::Count; ++i) {
                const double value = ElementOf(ruled.*field.member, i);
                fuzz::Require(value >= field.rule.low && value <= field.rule.high,
                              "a clamped field in its range");
            }
        }
    });
    return 0;
}
