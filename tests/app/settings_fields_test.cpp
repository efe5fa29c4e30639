#include "app/settings_fields.h"

#include <gtest/gtest.h>

namespace orbel {
namespace {

TEST(SettingsFields, AssignmentsReachTheNamedFieldOnly) {
    Settings s;
    EXPECT_EQ(SetSettingsField(s, "Tempo=140"), "");
    EXPECT_EQ(SetSettingsField(s, "IIVIMode(1)=4"), "");
    EXPECT_EQ(SetSettingsField(s, "StudyItem(3)=-2"), "");
    EXPECT_EQ(SetSettingsField(s, "ViewColour(5)=16711680"), "");
    EXPECT_EQ(SetSettingsField(s, "UserFilePath=/home/me/my phrases.txt"), "");
    Settings expected;
    expected.Tempo = 140;
    expected.IIVIMode[1] = 4;
    expected.StudyItem[3] = -2;
    expected.ViewColour[5] = 0xFF0000;
    expected.UserFilePath = "/home/me/my phrases.txt";
    EXPECT_EQ(s, expected);
}

TEST(SettingsFields, BadAssignmentsSayWhatIsWrongAndChangeNothing) {
    Settings s;
    const Settings before = s;
    for (const char* bad : {"Tempo", "Tempo=fast", "Tempo=99999", "Tempo(1)=3", "IIVIMode=1", "IIVIMode(2)=1",
                            "IIVIMode(-1)=1", "IIVIMode(x)=1", "Nonsense=1", "=5", "Reserved27=1"}) {
        EXPECT_NE(SetSettingsField(s, bad), "") << bad;
    }
    EXPECT_EQ(s, before);
}

} // namespace
} // namespace orbel
