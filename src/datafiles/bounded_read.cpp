#include "datafiles/bounded_read.h"

#include "datafiles/file_descriptor.h"

#include <cerrno>
#include <fcntl.h>
#include <sys/stat.h>
#include <unistd.h>

namespace orbel {

namespace {

BoundedRead Failed(ReadFailure why) {
    return {std::nullopt, why};
}

} // namespace

BoundedRead ReadRegularFile(const QString& path, qint64 maxBytes) {
    const QByteArray name = path.toLocal8Bit();
    // Non-blocking, so that opening a FIFO returns at once instead of waiting for a writer.
    const FileDescriptor fd(::open(name.constData(), O_RDONLY | O_NONBLOCK | O_CLOEXEC | O_NOCTTY));
    if (fd.get() < 0)
        return Failed(errno == ENOENT || errno == ENOTDIR ? ReadFailure::Missing : ReadFailure::Unreadable);
    struct stat info {};
    if (::fstat(fd.get(), &info) != 0) return Failed(ReadFailure::Unreadable);
    if (!S_ISREG(info.st_mode)) return Failed(ReadFailure::NotRegularFile);
    if (info.st_size > maxBytes) return Failed(ReadFailure::TooLarge);

    // The size may change while reading: read up to one byte past the limit and judge what came.
    QByteArray bytes;
    bytes.resize(static_cast<qsizetype>(info.st_size) + 1);
    qsizetype got = 0;
    for (;;) {
        if (got == bytes.size()) {
            if (got > maxBytes) return Failed(ReadFailure::TooLarge);
            bytes.resize(std::min<qsizetype>(bytes.size() * 2, static_cast<qsizetype>(maxBytes) + 1));
        }
        const ssize_t n = ::read(fd.get(), bytes.data() + got, static_cast<size_t>(bytes.size() - got));
        if (n < 0 && errno == EINTR) continue;
        if (n < 0) return Failed(ReadFailure::Unreadable);
        if (n == 0) break;
        got += n;
    }
    if (got > maxBytes) return Failed(ReadFailure::TooLarge);
    bytes.truncate(got);
    return {std::move(bytes), ReadFailure::Unreadable};
}

} // namespace orbel
