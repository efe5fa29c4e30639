// What a change of a setting brings besides its control showing it: the instruments sent again, a new
// build, the running performance told.

#include "ui/controls_binding.h"

#include <gtest/gtest.h>

namespace orbel {
namespace {

TEST(ChangeEffectsTest, EachFieldBringsWhatItsChangeNeeds) {
    struct Case {
        SettingsFieldId field;
        ChangeEffects effects; // programChanges, rebuild, live
    };
    const Case cases[] = {
        {FieldId<&Settings::ShowScore>, {true, true, true}},
        {FieldId<&Settings::ShowKeyboard>, {true, true, true}},
        {FieldId<&Settings::EntryDisplay>, {true, true, false}},
        {FieldId<&Settings::UpDown>, {false, true, false}},
        {FieldId<&Settings::ShowDiagram>, {false, false, true}},
        {FieldId<&Settings::Tempo>, {false, false, true}},
        {FieldId<&Settings::SwingOn>, {false, false, true}},
        {FieldId<&Settings::KeyboardSetsRoot>, {false, false, false}},
        {FieldId<&Settings::RootProgression>, {false, false, false}},
        {FieldId<&Settings::ViewColour>, {false, false, false}},
    };
    for (const Case& c : cases)
        EXPECT_EQ(EffectsOf(c.field), c.effects) << SettingsFieldName(c.field);
}

} // namespace
} // namespace orbel
