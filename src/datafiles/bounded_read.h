#pragma once
// Every file the program reads comes in through here: only a regular file is read (a FIFO, a device, a
// folder or a dangling link is refused at once, without waiting for a writer), and never more than the
// reader can hold.

#include <QByteArray>
#include <QString>
#include <optional>

namespace orbel {

enum class ReadFailure {
    Missing,        // nothing at the path, or a link to nothing
    NotRegularFile, // a folder, FIFO, socket or device
    TooLarge,       // more than the reader's limit
    Unreadable,     // no permission, or an error while reading
};

struct BoundedRead {
    std::optional<QByteArray> bytes;
    ReadFailure failure = ReadFailure::Unreadable; // why, when bytes is empty
};

// The whole content of the regular file at path, when it holds at most maxBytes.
BoundedRead ReadRegularFile(const QString& path, qint64 maxBytes);

} // namespace orbel
