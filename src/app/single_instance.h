#pragma once
// Refuses a second running copy of the trainer for the same program folder, however it was reached (a link
// to the folder, another runtime folder): the folder's own lock file is held with flock, which the kernel
// lets go when the process ends, and a lock in the user's runtime folder is keyed by the folder's real path.

#include <QString>
#include <memory>

class QLockFile;

namespace orbel {

class FileDescriptor;

namespace single_instance {
// In the program folder; its content is never read.
static constexpr const char* FolderLockName = ".orbel.lock";
} // namespace single_instance

class SingleInstance {
public:
    explicit SingleInstance(const QString& programFolder);
    ~SingleInstance();
    SingleInstance(const SingleInstance&) = delete;
    SingleInstance& operator=(const SingleInstance&) = delete;

    // True when this process now holds the locks, or when no lock can be taken at all (an unusable runtime
    // folder or a folder that takes no lock file must not keep the user from practising).
    bool acquire();
    // The lock file used for this program folder.
    QString lockPath() const { return lockPath_; }

private:
    QString folderLockPath_;
    QString lockPath_;
    std::unique_ptr<FileDescriptor> folderLock_;
    std::unique_ptr<QLockFile> lock_;
};

} // namespace orbel
