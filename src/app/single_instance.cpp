#include "app/single_instance.h"

#include "datafiles/file_descriptor.h"

#include <QCryptographicHash>
#include <QDir>
#include <QFileInfo>
#include <QLockFile>
#include <QStandardPaths>
#include <cerrno>
#include <fcntl.h>
#include <sys/file.h>

namespace orbel {

namespace {

QString LockFolder() {
    QString folder = QStandardPaths::writableLocation(QStandardPaths::RuntimeLocation);
    if (folder.isEmpty()) folder = QDir::tempPath();
    return folder;
}

} // namespace

SingleInstance::SingleInstance(const QString& programFolder)
    : folderLockPath_(QDir(programFolder).filePath(QLatin1String(single_instance::FolderLockName))) {
    // The same folder reached through a link is the same key.
    QString real = QFileInfo(programFolder).canonicalFilePath();
    if (real.isEmpty()) real = QDir(programFolder).absolutePath();
    const QByteArray key = QCryptographicHash::hash(real.toUtf8(), QCryptographicHash::Sha1).toHex().left(16);
    lockPath_ = LockFolder() + QStringLiteral("/orbel-") + QString::fromLatin1(key) + QStringLiteral(".lock");
}

SingleInstance::~SingleInstance() = default; // the kernel lets the folder's lock go with its descriptor

bool SingleInstance::acquire() {
    folderLock_ = std::make_unique<FileDescriptor>(::open(QFile::encodeName(folderLockPath_).constData(),
                                                          O_RDWR | O_CREAT | O_CLOEXEC | O_NOFOLLOW, 0644));
    if (folderLock_->get() >= 0 && ::flock(folderLock_->get(), LOCK_EX | LOCK_NB) != 0 &&
        errno == EWOULDBLOCK)
        return false;
    lock_ = std::make_unique<QLockFile>(lockPath_);
    // A lock left by a crashed copy is taken over at once; a live one is never stale.
    lock_->setStaleLockTime(0);
    if (lock_->tryLock(0)) return true;
    return lock_->error() != QLockFile::LockFailedError;
}

} // namespace orbel
