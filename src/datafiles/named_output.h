#pragma once
// Writing to a path the user named (an export's -o, a saved picture, the manual): the path is written as
// the standard tools write to it. A regular file, or a new one, is replaced in one step; a link is followed
// to the file it names, which is replaced in its own folder, and the link stays; a character device, a pipe
// or a socket is written into as it is, never renamed over; "-" is standard output. A folder, a block
// device or a file the user may not write is refused and nothing changes.

#include <QByteArrayView>
#include <QString>
#include <optional>

namespace orbel {

namespace named_output {
static constexpr const char* StandardOutput = "-";
} // namespace named_output

// Nothing once the bytes are written; otherwise why not, naming the path, in words a user can read.
std::optional<QString> WriteNamedOutput(const QString& path, QByteArrayView bytes);

} // namespace orbel
