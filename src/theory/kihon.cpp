#include "theory/kihon.h"

#include <system_error>

namespace orbel {

namespace fs = std::filesystem;

namespace {

constexpr std::string_view Separators = "/\\";

// A file the program writes again later must be writable by its owner.
bool MakeOwnerWritable(const fs::path& path) {
    std::error_code error;
    fs::permissions(path, fs::perms::owner_write, fs::perm_options::add, error);
    return !error;
}

} // namespace

std::string PathPart(std::string_view path, int part) {
    if (path.empty()) return {};
    constexpr auto npos = std::string_view::npos;

    const std::size_t lastSeparator = path.find_last_of(Separators);
    const std::size_t nameStart = lastSeparator == npos ? 0 : lastSeparator + 1;
    const std::size_t dot = path.rfind('.');
    const bool hasExtension = dot != npos && dot >= nameStart;
    const std::size_t nameEnd = hasExtension ? dot : path.size();

    const std::string_view beforeName =
        lastSeparator == npos ? std::string_view{} : path.substr(0, lastSeparator);
    const std::size_t firstSeparator = path.find_first_of(Separators);
    const std::size_t colon = beforeName.find(':');
    const bool hasDrive = colon != npos && colon < firstSeparator;
    const std::string_view drive = hasDrive ? beforeName.substr(0, colon) : std::string_view{};
    const std::string_view folder = hasDrive ? beforeName.substr(colon + 1) : beforeName;

    switch (part) {
    case path_part::Drive:
        return std::string(drive);
    case path_part::Folder:
        return std::string(folder);
    case path_part::FileName:
        return std::string(path.substr(nameStart));
    case path_part::BaseName:
        return std::string(path.substr(nameStart, nameEnd - nameStart));
    case path_part::Extension:
        return hasExtension ? std::string(path.substr(dot + 1)) : std::string{};
    case path_part::WithoutExt:
        return std::string(path.substr(0, nameEnd));
    case path_part::DriveFolder:
        return hasDrive ? std::string(drive) + ":" + std::string(folder) : std::string(folder);
    default:
        return {};
    }
}

std::string CleanFixedText(std::string_view text) {
    std::string cleaned(text);
    for (char& ch : cleaned) {
        if (ch == '\0') ch = ' ';
    }
    const std::size_t first = cleaned.find_first_not_of(' ');
    if (first == std::string::npos) return {};
    const std::size_t last = cleaned.find_last_not_of(' ');
    return cleaned.substr(first, last - first + 1);
}

void ToggleFlag(std::int16_t& flag) {
    flag = flag == -1 ? 0 : -1;
}

int DigitValue(char ch) {
    int code = static_cast<unsigned char>(ch);
    if (code >= 'a' && code <= 'z') code -= 'a' - 'A';
    return code <= '@' ? code - '0' : code - ('A' - 10);
}

int DigitValue(std::string_view ch) {
    return ch.empty() ? -1 : DigitValue(ch.front());
}

bool DeleteFileForced(const fs::path& path) {
    std::error_code error;
    const fs::file_status status = fs::symlink_status(path, error);
    if (error || !fs::exists(status) || fs::is_directory(status)) return false;
    // A symbolic link is removed itself; its target's permissions are not ours to change.
    if (fs::is_regular_file(status)) MakeOwnerWritable(path);
    return fs::remove(path, error) && !error;
}

} // namespace orbel
