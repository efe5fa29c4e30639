// The settings table walked field by field: each field goes through the record's codec alone and comes
// back, its load rule pulls it in, and the factory record is the table's factory values.

#include "app/settings_fields.h"
#include "app/settings_file.h"
#include "theory/settings_table.h"

#include <QCryptographicHash>
#include <QFile>
#include <QtEndian>
#include <bit>
#include <cmath>
#include <gtest/gtest.h>
#include <limits>

namespace orbel {
namespace {

// A value for element i of a field that no field starts with, different for every element.
template <typename E> E Marked(std::size_t i) {
    if constexpr (std::is_same_v<E, bool>) {
        return true;
    } else if constexpr (std::is_floating_point_v<E>) {
        return static_cast<E>(12.25 + static_cast<double>(i));
    } else if constexpr (std::is_integral_v<E>) {
        return static_cast<E>(std::numeric_limits<E>::max() - static_cast<E>(3 + i));
    } else if constexpr (std::is_same_v<E, std::string>) {
        return "/marked";
    } else {
        E text{};
        text.fill('x');
        return text;
    }
}

// The element's bytes as the record holds them.
template <typename Field>
QByteArray ElementBytes(const QByteArray& record, const Field& field, std::size_t i) {
    return record.mid(field.offsets[i], RecordBytesOf<typename Field::Element>);
}

template <typename E> void PutNumber(QByteArray& record, int offset, E value) {
    if constexpr (std::is_floating_point_v<E>) {
        qToLittleEndian(std::bit_cast<std::uint32_t>(value), record.data() + offset);
    } else {
        qToLittleEndian(value, record.data() + offset);
    }
}

TEST(SettingsTable, EveryFieldGoesThroughTheRecordAloneAndComesBack) {
    const QByteArray blank = EncodeSettingsRecord(Settings{});
    ForEachSettingsField([&](const auto& field, auto) {
        using Field = std::remove_cvref_t<decltype(field)>;
        using Element = typename Field::Element;
        if (!field.inRecord) return;
        for (std::size_t i = 0; i < Field::Shape::Count; ++i) {
            SCOPED_TRACE(std::string(field.name) + "(" + std::to_string(i) + ")");
            Settings s;
            ElementOf(s.*field.member, i) = Marked<Element>(i);
            const QByteArray record = EncodeSettingsRecord(s);
            // Only the element's own bytes moved...
            QByteArray others = record;
            others.replace(field.offsets[i], RecordBytesOf<Element>, ElementBytes(blank, field, i));
            EXPECT_EQ(others, blank);
            EXPECT_NE(ElementBytes(record, field, i), ElementBytes(blank, field, i));
            // ...a switch to its true form...
            if constexpr (std::is_same_v<Element, bool>) {
                EXPECT_EQ(qFromLittleEndian<std::int16_t>(record.data() + field.offsets[i]), field.trueForm);
            }
            // ...and the record reads back as the settings it was written from.
            const std::optional<Settings> read = DecodeSettingsRecord(record);
            ASSERT_TRUE(read.has_value());
            EXPECT_EQ(*read, s);
            EXPECT_EQ(EncodeSettingsRecord(*read), record);
        }
    });
}

// A switch spelled neither 0 nor its true form reads as off and is written back as it was, until it is
// switched on.
TEST(SettingsTable, ASwitchKeepsItsSpellingUntilItChanges) {
    ForEachSettingsField([&](const auto& field, auto) {
        using Field = std::remove_cvref_t<decltype(field)>;
        if constexpr (std::is_same_v<typename Field::Element, bool>) {
            SCOPED_TRACE(std::string(field.name));
            QByteArray record(settings_file::RecordBytes, '\0');
            for (const std::int16_t odd : {std::int16_t{5}, static_cast<std::int16_t>(-field.trueForm)}) {
                PutNumber(record, field.offsets[0], odd);
                const std::optional<Settings> read = DecodeSettingsRecord(record);
                ASSERT_TRUE(read.has_value());
                Settings s = *read;
                EXPECT_FALSE(s.*field.member);
                EXPECT_EQ(EncodeSettingsRecord(s), record);
                s.*field.member = true;
                EXPECT_EQ(qFromLittleEndian<std::int16_t>(EncodeSettingsRecord(s).data() + field.offsets[0]),
                          field.trueForm);
            }
        }
    });
}

TEST(SettingsTable, OutOfRangeValuesFollowTheirLoadRule) {
    ForEachSettingsField([&](const auto& field, auto) {
        using Field = std::remove_cvref_t<decltype(field)>;
        using Element = typename Field::Element;
        if constexpr (std::is_arithmetic_v<Element> && !std::is_same_v<Element, bool>) {
            if (!field.inRecord) return;
            const double low = field.rule.low;
            const double high = field.rule.high;
            for (std::size_t i = 0; i < Field::Shape::Count; ++i) {
                SCOPED_TRACE(std::string(field.name) + "(" + std::to_string(i) + ")");
                // stored → loaded, for the field's rule.
                std::vector<std::pair<Element, Element>> cases;
                const Element lowest = std::numeric_limits<Element>::lowest();
                const Element highest = std::numeric_limits<Element>::max();
                switch (field.rule.kind) {
                case LoadRule::Kind::None:
                    cases = {{lowest, lowest}, {highest, highest}};
                    break;
                case LoadRule::Kind::Fixed:
                    cases = {{lowest, static_cast<Element>(low)},
                             {static_cast<Element>(low + 1), static_cast<Element>(low)}};
                    break;
                case LoadRule::Kind::Clamp:
                    cases = {{lowest, static_cast<Element>(low)},
                             {static_cast<Element>(low - 1), static_cast<Element>(low)},
                             {static_cast<Element>(low), static_cast<Element>(low)},
                             {static_cast<Element>(high), static_cast<Element>(high)},
                             {static_cast<Element>(high + 1), static_cast<Element>(high)},
                             {highest, static_cast<Element>(high)}};
                    if constexpr (std::is_floating_point_v<Element>)
                        cases.push_back({std::numeric_limits<Element>::quiet_NaN(),
                                         static_cast<Element>(ElementOf(field.factoryValue, i))});
                    break;
                }
                for (const auto& [stored, loaded] : cases) {
                    QByteArray record(settings_file::RecordBytes, '\0');
                    PutNumber(record, field.offsets[i], stored);
                    const std::optional<Settings> read = DecodeSettingsRecord(record);
                    ASSERT_TRUE(read.has_value());
                    Settings s = *read;
                    ApplyLoadRules(s);
                    EXPECT_EQ(ElementOf(s.*field.member, i), loaded) << "stored as " << stored;
                }
            }
        }
    });
}

// Every field but the reserved ones is set by its name (a switch as the record spells it), and nothing else
// changes; a reserved field is refused.
TEST(SettingsTable, EveryNamedFieldIsSetByItsNameAlone) {
    ForEachSettingsField([&](const auto& field, auto) {
        using Field = std::remove_cvref_t<decltype(field)>;
        using Element = typename Field::Element;
        for (std::size_t i = 0; i < Field::Shape::Count; ++i) {
            std::string name(field.name);
            if (Field::Shape::IsArray) name.append("(").append(std::to_string(i)).append(")");
            SCOPED_TRACE(name);
            Settings expected;
            std::string value = "1";
            if constexpr (std::is_same_v<Element, bool>) {
                value = std::to_string(field.trueForm);
                ElementOf(expected.*field.member, i) = true;
            } else if constexpr (std::is_same_v<Element, std::string>) {
                value = "/home/me/my phrases.txt";
                ElementOf(expected.*field.member, i) = value;
            } else if constexpr (std::is_arithmetic_v<Element>) {
                const Element marked = Marked<Element>(i);
                value = std::to_string(marked);
                ElementOf(expected.*field.member, i) = marked;
            }
            Settings s;
            const std::string said = SetSettingsField(s, name + "=" + value);
            if (!field.isNamed) {
                EXPECT_NE(said, "");
                EXPECT_EQ(s, Settings{});
                continue;
            }
            EXPECT_EQ(said, "");
            EXPECT_EQ(s, expected);
            if constexpr (std::is_same_v<Element, bool>) {
                for (const int other : {-field.trueForm, 2}) {
                    Settings refused;
                    EXPECT_NE(SetSettingsField(refused, name + "=" + std::to_string(other)), "") << other;
                    EXPECT_EQ(refused, Settings{});
                }
            }
        }
    });
}

// The factory record the build wrote holds the table's factory values, and its bytes are the ones the
// trainer has always shipped.
TEST(SettingsTable, TheFactoryRecordIsTheTablesFactoryValues) {
    QFile file(QStringLiteral(ORBEL_PROGRAM_DIR "/cfg_org.infdat"));
    ASSERT_TRUE(file.open(QIODevice::ReadOnly)) << "build the orbel_factory_settings target first";
    const QByteArray bytes = file.readAll();
    EXPECT_EQ(QCryptographicHash::hash(bytes, QCryptographicHash::Sha256).toHex(),
              "e83cf074a92b398002ed264d5be37598d2d4efbeaf351dfa26f3821d93c3c46d");
    const Settings factory = FactorySettings();
    EXPECT_EQ(EncodeSettingsRecord(factory), bytes);
    std::optional<Settings> read = DecodeSettingsRecord(bytes);
    ASSERT_TRUE(read.has_value());
    read->UserFilePath = UserFilePathFromField(*read);
    EXPECT_EQ(*read, factory);
    Settings ruled = factory;
    ApplyLoadRules(ruled);
    EXPECT_EQ(ruled, factory);
}

} // namespace
} // namespace orbel
