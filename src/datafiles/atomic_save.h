#pragma once
// How the program replaces a file it owns (the settings record, a phrase file's favourite marks, a restored
// copy): the new content is written in full beside the file, flushed to the disk, renamed over the file,
// and the folder is flushed too. A kill at any moment leaves the old or the new file under its name; what
// a kill can leave beside it is removed at the next save of that file and when the trainer starts. Only
// files this saver made are ever removed: a staging file carries a mark (an extended attribute) for as long
// as it is one, which a user's file of the same name does not have.

#include <QByteArrayView>
#include <QDateTime>
#include <QString>

namespace orbel {

namespace atomic_save {
// The name of the file a save is being written to, beside the file it replaces.
static constexpr const char* StagingSuffix = ".orbel-saving";
// The extended attribute that marks a staging file as the saver's own.
static constexpr const char* StagingMark = "user.orbel.staging";
} // namespace atomic_save

// Replaces the file at path with bytes. True once the new content is in place under its name. A link is
// followed to its file, which is replaced beside itself; anything but a regular file is refused.
bool WriteFileAtomic(const QString& path, QByteArrayView bytes);

// Replaces target with a copy of the regular file source, in the same way. The copy can be written to
// later, whatever the source's permissions.
bool CopyFileAtomic(const QString& source, const QString& target);

// Removes what interrupted saves left in folder: staging files that carry the saver's mark and were last
// written before `before` (the start of the running trainer, so that another trainer's save in progress is
// left alone). Nothing else is touched. Returns how many were removed.
int RemoveStaleSaves(const QString& folder, const QDateTime& before);

} // namespace orbel
