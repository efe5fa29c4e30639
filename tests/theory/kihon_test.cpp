// General helpers: path parts, fixed-text cleaning, flags, digits, picking, file delete and copy.
#include "theory/kihon.h"

#include <cerrno>
#include <cstdint>
#include <cstdlib>
#include <cstring>
#include <filesystem>
#include <fstream>
#include <gtest/gtest.h>
#include <iterator>
#include <string>

namespace orbel {
namespace {

namespace fs = std::filesystem;
using namespace std::string_literals;

struct PathCase {
    const char* path;
    int part;
    const char* expected;
};

class PathPartTest : public ::testing::TestWithParam<PathCase> {};

TEST_P(PathPartTest, ReturnsPart) {
    const PathCase& c = GetParam();
    EXPECT_EQ(PathPart(c.path, c.part), c.expected) << c.path << " part " << c.part;
}

INSTANTIATE_TEST_SUITE_P(
    WindowsPath, PathPartTest,
    ::testing::Values(PathCase{R"(C:\Users\taro\My.Docs\blues.txt)", 1, "C"},
                      PathCase{R"(C:\Users\taro\My.Docs\blues.txt)", 2, R"(\Users\taro\My.Docs)"},
                      PathCase{R"(C:\Users\taro\My.Docs\blues.txt)", 3, "blues.txt"},
                      PathCase{R"(C:\Users\taro\My.Docs\blues.txt)", 4, "blues"},
                      PathCase{R"(C:\Users\taro\My.Docs\blues.txt)", 5, "txt"},
                      PathCase{R"(C:\Users\taro\My.Docs\blues.txt)", 6, R"(C:\Users\taro\My.Docs\blues)"},
                      PathCase{R"(C:\Users\taro\My.Docs\blues.txt)", 7, R"(C:\Users\taro\My.Docs)"},
                      PathCase{R"(C:\ric.txt)", 7, "C:"}));

INSTANTIATE_TEST_SUITE_P(
    LinuxPath, PathPartTest,
    ::testing::Values(PathCase{"/home/taro/my.docs/blues.v2.txt", 1, ""},
                      PathCase{"/home/taro/my.docs/blues.v2.txt", 2, "/home/taro/my.docs"},
                      PathCase{"/home/taro/my.docs/blues.v2.txt", 3, "blues.v2.txt"},
                      PathCase{"/home/taro/my.docs/blues.v2.txt", 4, "blues.v2"},
                      PathCase{"/home/taro/my.docs/blues.v2.txt", 5, "txt"},
                      PathCase{"/home/taro/my.docs/blues.v2.txt", 6, "/home/taro/my.docs/blues.v2"},
                      PathCase{"/home/taro/my.docs/blues.v2.txt", 7, "/home/taro/my.docs"},
                      // A ":" inside a folder name is no drive.
                      PathCase{"/media/a:b/ric.txt", 1, ""},
                      PathCase{"/media/a:b/ric.txt", 7, "/media/a:b"}));

INSTANTIATE_TEST_SUITE_P(
    OddPaths, PathPartTest,
    ::testing::Values(
        // No extension: the whole name is the base name.
        PathCase{"/home/taro/phrases", 3, "phrases"}, PathCase{"/home/taro/phrases", 4, "phrases"},
        PathCase{"/home/taro/phrases", 5, ""}, PathCase{"/home/taro/phrases", 6, "/home/taro/phrases"},
        // A dot in a folder only is no extension either.
        PathCase{R"(D:\jazz.old\phrases)", 4, "phrases"}, PathCase{R"(D:\jazz.old\phrases)", 5, ""},
        // The last of "/" and "\" ends the folder.
        PathCase{R"(C:/data\user/AUX1.txt)", 2, R"(/data\user)"},
        PathCase{R"(C:/data\user/AUX1.txt)", 4, "AUX1"}, PathCase{R"(C:\data/user\AUX1.txt)", 4, "AUX1"},
        // A bare file name.
        PathCase{"ric.txt", 2, ""}, PathCase{"ric.txt", 4, "ric"}, PathCase{"ric.txt", 7, ""},
        // Nothing to split, or no such part.
        PathCase{"", 4, ""}, PathCase{"/a/b.txt", 0, ""}, PathCase{"/a/b.txt", 8, ""},
        PathCase{"/a/b.txt", -1, ""}));

TEST(CleanFixedTextTest, NulsBecomeBlanksAndEdgesAreTrimmed) {
    const std::pair<std::string, std::string> cases[] = {
        {"abc\0\0\0"s, "abc"},
        {"\0 ab c \0"s, "ab c"},
        {"a\0b"s, "a b"},
        {"\0\0"s, ""},
        {""s, ""},
        {"   "s, ""},
        {"\tx "s, "\tx"},
        {"スケール  "s, "スケール"},
    };
    for (const auto& [text, cleaned] : cases)
        EXPECT_EQ(CleanFixedText(text), cleaned);
}

TEST(ToggleFlagTest, TrueBecomesFalseAndAnythingElseTrue) {
    const std::pair<std::int16_t, std::int16_t> cases[] = {{-1, 0}, {0, -1}, {1, -1}, {5, -1}, {-32768, -1}};
    for (const auto& [before, after] : cases) {
        std::int16_t flag = before;
        ToggleFlag(flag);
        EXPECT_EQ(flag, after) << before;
    }
}

TEST(DigitValueTest, DigitsAndLettersInEitherCase) {
    const std::pair<const char*, int> cases[] = {{"0", 0},  {"9", 9},  {"A", 10}, {"a", 10},  {"H", 17},
                                                 {"h", 17}, {"Z", 35}, {"z", 35}, {"B7", 11}, {"", -1}};
    for (const auto& [text, value] : cases)
        EXPECT_EQ(DigitValue(std::string_view(text)), value) << text;
    EXPECT_EQ(DigitValue('f'), 15);
}

TEST(PickOneTest, IndexOneToFourPicksElseEmpty) {
    const std::string a = "a", b = "b", c = "c", d = "d";
    EXPECT_EQ(PickOne(1, a, b, c, d), "a");
    EXPECT_EQ(PickOne(4, a, b, c, d), "d");
    EXPECT_EQ(PickOne(0, a, b, c, d), "");
    EXPECT_EQ(PickOne(5, a, b, c, d), "");
    EXPECT_EQ(PickOne(3, 10, 20, 30, 40), 30);
    EXPECT_EQ(PickOne(-1, 10, 20, 30, 40), 0);
}

// A fresh folder under the system's temporary folder, removed with everything in it.
class ScratchFolder {
public:
    ScratchFolder() {
        std::string pattern = (fs::temp_directory_path() / "orbel-kihon-XXXXXX").string();
        if (::mkdtemp(pattern.data()) == nullptr) {
            ADD_FAILURE() << "mkdtemp: " << std::strerror(errno);
            return;
        }
        path_ = pattern;
    }
    ~ScratchFolder() {
        if (path_.empty()) return;
        std::error_code error;
        for (const auto& entry : fs::recursive_directory_iterator(path_, error)) {
            fs::permissions(entry.path(), fs::perms::owner_all, fs::perm_options::add, error);
        }
        fs::remove_all(path_, error);
    }
    ScratchFolder(const ScratchFolder&) = delete;
    ScratchFolder& operator=(const ScratchFolder&) = delete;

    fs::path File(const std::string& name, const std::string& content) const {
        const fs::path file = path_ / name;
        std::ofstream(file, std::ios::binary) << content;
        return file;
    }
    const fs::path& Path() const { return path_; }

private:
    fs::path path_;
};

std::string Content(const fs::path& file) {
    std::ifstream in(file, std::ios::binary);
    return {std::istreambuf_iterator<char>(in), std::istreambuf_iterator<char>()};
}

void MakeReadOnly(const fs::path& file) {
    fs::permissions(file, fs::perms::owner_write | fs::perms::group_write | fs::perms::others_write,
                    fs::perm_options::remove);
}

bool OwnerMayWrite(const fs::path& file) {
    return (fs::status(file).permissions() & fs::perms::owner_write) != fs::perms::none;
}

TEST(DeleteFileForcedTest, DeletesReadOnlyFile) {
    ScratchFolder folder;
    const fs::path file = folder.File("location.txt", "ric.txt");
    MakeReadOnly(file);
    EXPECT_TRUE(DeleteFileForced(file));
    EXPECT_FALSE(fs::exists(file));
}

TEST(DeleteFileForcedTest, MissingFileOrFolderIsNotDeleted) {
    ScratchFolder folder;
    EXPECT_FALSE(DeleteFileForced(folder.Path() / "none.txt"));
    fs::create_directory(folder.Path() / "sub");
    EXPECT_FALSE(DeleteFileForced(folder.Path() / "sub"));
    EXPECT_TRUE(fs::is_directory(folder.Path() / "sub"));
}

TEST(DeleteFileForcedTest, RemovesLinkButLeavesItsTargetAlone) {
    ScratchFolder folder;
    const fs::path target = folder.File("factory.txt", "keep");
    MakeReadOnly(target);
    const fs::path link = folder.Path() / "link.txt";
    fs::create_symlink(target, link);
    EXPECT_TRUE(DeleteFileForced(link));
    EXPECT_FALSE(fs::exists(fs::symlink_status(link)));
    EXPECT_EQ(Content(target), "keep");
    EXPECT_FALSE(OwnerMayWrite(target));
}

} // namespace
} // namespace orbel
