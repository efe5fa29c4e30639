#include "theory/settings.h"

#include "theory/kihon.h"
#include "theory/settings_table.h"

#include <cmath>

namespace orbel {

void ApplyLoadRules(Settings& s) {
    ForEachSettingsField([&s](const auto& field, auto) {
        using Field = std::remove_cvref_t<decltype(field)>;
        using Element = typename Field::Element;
        if constexpr (std::is_arithmetic_v<Element> && !std::is_same_v<Element, bool>) {
            if (field.rule.kind == LoadRule::Kind::None) return;
            for (std::size_t i = 0; i < Field::Shape::Count; ++i) {
                Element& value = ElementOf(s.*field.member, i);
                if (field.rule.kind == LoadRule::Kind::Fixed) {
                    value = static_cast<Element>(field.rule.low);
                    continue;
                }
                // A NaN passes every comparison and would stay out of range for good.
                if constexpr (std::is_floating_point_v<Element>) {
                    if (std::isnan(value)) value = ElementOf(field.factoryValue, i);
                }
                ClampValue(field.rule.low, field.rule.high, value);
            }
        }
    });
}

Settings FactorySettings() {
    Settings s;
    ForEachSettingsField([&s](const auto& field, auto) {
        using Field = std::remove_cvref_t<decltype(field)>;
        s.*field.member = typename Field::Value(field.factoryValue);
    });
    return s;
}

} // namespace orbel
