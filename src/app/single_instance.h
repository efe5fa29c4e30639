#pragma once
// Refuses a second running copy of the trainer for the same program folder.
// The lock lives in the user's runtime folder, so that a refused start writes
// nothing into the program folder and a read-only install still works.

#include <QString>
#include <memory>

class QLockFile;

namespace orbel {

class SingleInstance {
public:
    explicit SingleInstance(const QString& programFolder);
    ~SingleInstance();
    SingleInstance(const SingleInstance&) = delete;
    SingleInstance& operator=(const SingleInstance&) = delete;

    // True when this process now holds the lock, or when no lock can be taken at
    // all (an unusable runtime folder must not keep the user from practising).
    bool acquire();
    // The lock file used for this program folder.
    QString lockPath() const { return lockPath_; }

private:
    QString lockPath_;
    std::unique_ptr<QLockFile> lock_;
};

} // namespace orbel
