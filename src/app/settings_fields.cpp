#include "app/settings_fields.h"

#include "theory/settings_table.h"

#include <charconv>
#include <cstdint>
#include <optional>

namespace orbel {

namespace {

// Joins pieces of a message; plain string concatenation trips a false -Wrestrict in GCC 12.
std::string Say(std::initializer_list<std::string_view> pieces) {
    std::string text;
    for (std::string_view piece : pieces)
        text.append(piece);
    return text;
}

template <typename T> bool ParseNumber(std::string_view text, T& out) {
    const char* end = text.data() + text.size();
    auto [ptr, ec] = std::from_chars(text.data(), end, out);
    return ec == std::errc() && ptr == end;
}

// Sets one element of field from its text: a switch as the record spells it (its true form, or 0), a
// number that fits the field's type, the working path as it is.
template <typename Field, typename Element>
std::string AssignElement(const Field& field, Element& target, std::string_view value) {
    if constexpr (std::is_same_v<Element, std::string>) {
        target = std::string(value);
        return {};
    } else if constexpr (std::is_same_v<Element, bool>) {
        std::int16_t parsed = 0;
        if (!ParseNumber(value, parsed) || (parsed != 0 && parsed != field.trueForm))
            return Say({field.name, " is ", field.trueForm == 1 ? "1" : "-1", " (on) or 0 (off)"});
        target = parsed != 0;
        return {};
    } else if constexpr (std::is_arithmetic_v<Element>) {
        Element parsed{};
        if (!ParseNumber(value, parsed)) return Say({"'", value, "' is not a number that fits this field"});
        target = parsed;
        return {};
    } else {
        return Say({field.name, " cannot be set by name"});
    }
}

} // namespace

std::string SetSettingsField(Settings& s, std::string_view assignment) {
    const std::size_t equals = assignment.find('=');
    if (equals == std::string_view::npos) return "expected Field=Value";
    std::string_view name = assignment.substr(0, equals);
    const std::string_view value = assignment.substr(equals + 1);

    int index = -1;
    if (const std::size_t open = name.find('('); open != std::string_view::npos) {
        if (name.back() != ')' || !ParseNumber(name.substr(open + 1, name.size() - open - 2), index) ||
            index < 0)
            return Say({"bad index in '", name, "'"});
        name = name.substr(0, open);
    }

    std::optional<std::string> outcome;
    ForEachSettingsField([&](const auto& field, auto) {
        using Field = std::remove_cvref_t<decltype(field)>;
        if (outcome || !field.isNamed || name != field.name) return;
        if constexpr (Field::Shape::IsArray) {
            if (index < 0 || index >= static_cast<int>(Field::Shape::Count))
                outcome = Say({field.name, " needs an index 0..", std::to_string(Field::Shape::Count - 1)});
            else
                outcome =
                    AssignElement(field, ElementOf(s.*field.member, static_cast<std::size_t>(index)), value);
        } else {
            outcome = index >= 0 ? Say({field.name, " takes no index"})
                                 : AssignElement(field, s.*field.member, value);
        }
    });
    return outcome ? *outcome : Say({"no settings field named '", name, "'"});
}

std::vector<std::string> SettingsFieldNames() {
    std::vector<std::string> names;
    ForEachSettingsField([&names](const auto& field, auto) {
        using Field = std::remove_cvref_t<decltype(field)>;
        if (field.isNamed) names.push_back(Say({field.name, Field::Shape::IsArray ? "(i)" : ""}));
    });
    return names;
}

} // namespace orbel
