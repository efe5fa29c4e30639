// Every factory item, in every key, laid out on the staff of a 1920×1080 window.

#include "app/settings_file.h"
#include "app/study_session.h"
#include "theory/prepare_build.h"
#include "views/staff_layout.h"

#include <QDir>
#include <gtest/gtest.h>

namespace orbel {
namespace {

// The window at 1920×1080 (wide layout) and at 1280×1024 (narrow), in logical units.
const StaffFrame Frames[] = {{24300, 15600, 19800, 1}, {19200, 14900, 14500, 3}};

TEST(FactoryStaff, EveryItemInEveryKeyFitsTheViewsAreaWithoutAMessage) {
    const QString folder = QStringLiteral(ORBEL_PROGRAM_DIR);
    int laidOut = 0;
    for (int type = study_type::Scale; type <= study_type::UserPhrase; ++type) {
        StudyState study;
        study.settings.StudyType = static_cast<std::int16_t>(type);
        study.settings.UserFilePath = QDir(folder).filePath(QStringLiteral("AUX1.txt")).toStdString();
        StoreUserFilePath(study.settings);
        InitIIVITables(study.iiviTables);
        StudySession session(study);
        session.loadItems(folder);
        ASSERT_GT(study.itemCount, 0) << "study " << type;
        for (int item = 0; item < study.itemCount; ++item) {
            study.settings.RootKey = 0;
            ASSERT_FALSE(session.selectItem(item)) << "study " << type << " item " << item;
            for (int root = 0; root < 12; ++root) {
                study.settings.RootKey = static_cast<std::int16_t>(root);
                ASSERT_FALSE(session.build(true));
                for (const StaffFrame& frame : Frames) {
                    const StaffLayout staff =
                        LayOutStaff(study.sequence, {type, study.settings.UpDown, root}, frame);
                    const std::string where = "study " + std::to_string(type) + " item " +
                                              std::to_string(item) + " root " + std::to_string(root);
                    ASSERT_TRUE(staff.messages.empty())
                        << where << ": " << staff.messages.front().toStdString();
                    ASSERT_FALSE(staff.marks.empty()) << where;
                    for (const StaffMark& m : staff.marks) {
                        // A music glyph's cell reaches far above its ink: its head lies 5.64 s below the top.
                        const double y = m.kind == StaffMark::Kind::Glyph && m.font.name == "ZephMusicFont"
                                             ? m.y - 5.64 * staff_geometry::LineSpacing
                                             : m.y;
                        ASSERT_GE(m.x, 0) << where;
                        ASSERT_LE(m.x, frame.frame2Left) << where;
                        ASSERT_GE(y, 0) << where;
                        ASSERT_LE(y, frame.windowHeight) << where;
                    }
                    // Within a row every entry stands right of the one before it.
                    for (std::size_t i = 1; i < staff.noteX.size(); ++i) {
                        if (staff.rowBase[i] == staff.rowBase[i - 1]) {
                            ASSERT_GT(staff.noteX[i], staff.noteX[i - 1]) << where;
                        }
                    }
                    ++laidOut;
                }
            }
        }
    }
    EXPECT_GT(laidOut, 2000);
}

} // namespace
} // namespace orbel
