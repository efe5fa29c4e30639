#pragma once
// General helpers shared by every part of the program.

#include <cstdint>
#include <filesystem>
#include <string>
#include <string_view>

namespace orbel {

// Clamps value into [low, high] in place: below low becomes low, else above high becomes high.
template <typename T, typename L, typename H> void ClampValue(L low, H high, T& value) {
    if (value < static_cast<T>(low)) {
        value = static_cast<T>(low);
    } else if (value > static_cast<T>(high)) {
        value = static_cast<T>(high);
    }
}

// The first to fourth value for index 1 to 4; any other index gives an empty (default) value.
template <typename T> T PickOne(int index, const T& first, const T& second, const T& third, const T& fourth) {
    switch (index) {
    case 1:
        return first;
    case 2:
        return second;
    case 3:
        return third;
    case 4:
        return fourth;
    default:
        return T{};
    }
}

// Which piece of a file path PathPart returns.
namespace path_part {
static constexpr int Drive = 1;       // text before the drive's ":"
static constexpr int Folder = 2;      // between the drive's ":" and the last separator
static constexpr int FileName = 3;    // base name with its extension
static constexpr int BaseName = 4;    // between the last separator and the extension's "."
static constexpr int Extension = 5;   // after the extension's "."
static constexpr int WithoutExt = 6;  // the whole path without the extension and its "."
static constexpr int DriveFolder = 7; // drive + ":" + folder (just the folder when there is no drive)
} // namespace path_part

// One part of a file path (see path_part). Both "/" and "\" separate folders, the last of either ending the
// folder. Only a "." after the last separator starts an extension, so a dotted folder name is no extension; a
// drive is a ":" before the first separator, as in "C:\". An empty path or an unknown part gives "".
std::string PathPart(std::string_view path, int part);

// Every NUL becomes a blank, then leading and trailing blanks go: the fixed-width text fields of the data
// files are padded with either.
std::string CleanFixedText(std::string_view text);

// True (−1) becomes false (0); anything else becomes true.
void ToggleFlag(std::int16_t& flag);

// Value of a digit character after upper-casing it: "0".."9" give 0..9 and "A".."Z" give 10..35 (so "a" is
// 10 and "H" is 17). Other characters give values outside 0..35; the string form takes its first character
// and gives −1 when it is empty.
int DigitValue(char ch);
int DigitValue(std::string_view ch);

// Deletes a file even when it is read-only. True when a file was there and is gone; false when there was
// none, when path names a folder, or when the system refused. Never throws.
bool DeleteFileForced(const std::filesystem::path& path);

} // namespace orbel
