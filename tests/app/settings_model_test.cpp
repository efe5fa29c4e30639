// The settings model says every change, with its field, once; a change to the same value is none.

#include "app/settings_model.h"

#include <gtest/gtest.h>
#include <vector>

namespace orbel {
namespace {

class SettingsModelTest : public ::testing::Test {
protected:
    SettingsModelTest() {
        QObject::connect(&model, &SettingsModel::changed, [this](SettingsFieldId field) {
            heard.push_back(field);
            // Whoever hears of a change finds the settings already changed, all of them.
            seen.push_back(settings);
        });
    }
    Settings settings;
    SettingsModel model{settings};
    std::vector<SettingsFieldId> heard;
    std::vector<Settings> seen;
};

TEST_F(SettingsModelTest, ASetterSaysItsFieldOncePerChange) {
    EXPECT_TRUE(model.set<&Settings::Tempo>(140));
    EXPECT_FALSE(model.set<&Settings::Tempo>(140));
    EXPECT_TRUE(model.set<&Settings::SwingOn>(true));
    EXPECT_TRUE(model.set<&Settings::StudyItem>(3, 7));
    EXPECT_FALSE(model.set<&Settings::StudyItem>(3, 7));
    EXPECT_TRUE(model.set(&Settings::ClickOn, true)); // a member chosen at run time
    EXPECT_FALSE(model.set(&Settings::ClickOn, true));
    EXPECT_EQ(heard, (std::vector{FieldId<&Settings::Tempo>, FieldId<&Settings::SwingOn>,
                                  FieldId<&Settings::StudyItem>, FieldId<&Settings::ClickOn>}));
    EXPECT_EQ(settings.Tempo, 140);
    EXPECT_TRUE(settings.SwingOn);
    EXPECT_EQ(settings.StudyItem[3], 7);
    EXPECT_EQ(SettingsFieldName(heard.front()), "Tempo");
}

TEST_F(SettingsModelTest, TakingACopySaysEachFieldThatDifferedInTheTablesOrderAfterTakingThemAll) {
    Settings copy = settings;
    copy.RangeLow = 20;
    copy.RangeHigh = 50;
    copy.Tempo = 90; // not among the fields taken
    copy.ViewColour[2] = 0x123456;
    model.take(copy, SettingsFieldSet::Of<&Settings::RangeHigh, &Settings::RangeLow, &Settings::ViewColour,
                                          &Settings::MelodyVolume>());
    EXPECT_EQ(heard, (std::vector{FieldId<&Settings::ViewColour>, FieldId<&Settings::RangeHigh>,
                                  FieldId<&Settings::RangeLow>}));
    for (const Settings& s : seen) {
        EXPECT_EQ(s.RangeHigh, 50);
        EXPECT_EQ(s.RangeLow, 20);
    }
    EXPECT_EQ(settings.Tempo, 0);
    EXPECT_EQ(settings.ViewColour[2], 0x123456U);
    heard.clear();
    model.take(copy, SettingsFieldSet::Of<&Settings::RangeHigh, &Settings::RangeLow>());
    EXPECT_TRUE(heard.empty());
}

} // namespace
} // namespace orbel
