// The location file: it is taken over exactly when it is deleted, and then names an existing file.

#include "app/location_file.h"
#include "fuzz_support.h"

#include <QFileInfo>

using namespace orbel;

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
    fuzz::Put("myphrases.txt", "$a\r\n3C4\r\n");
    const QString location = fuzz::Put(location_file::FileName, fuzz::Bytes(data, size));
    Settings s;
    const LocationResult result = ReadLocationFile(s, fuzz::Scratch());
    const bool taken = result.taken;
    fuzz::Require(taken == !QFileInfo::exists(location), "taken over exactly when deleted");
    fuzz::Require(!taken || result.refusal.isEmpty(), "a file taken over is not refused");
    if (taken) {
        fuzz::Require(QFileInfo(QString::fromStdString(s.UserFilePath)).isFile(), "names an existing file");
        fuzz::Require(
            QString::fromStdString(s.UserFilePath).endsWith(QLatin1String(".txt"), Qt::CaseInsensitive),
            "names a phrase file");
    } else {
        fuzz::Require(s.UserFilePath.empty(), "nothing changes when not taken");
    }
    return 0;
}
