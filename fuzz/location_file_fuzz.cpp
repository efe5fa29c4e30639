// The location file: it is taken over exactly when it is deleted, and then names an existing file.

#include "app/location_file.h"
#include "fuzz_support.h"

#include <QFileInfo>

using namespace orbel;

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
    fuzz::Put("myphrases.txt", "$a\r\n3C4\r\n");
    const QString location = fuzz::Put(location_file::FileName, fuzz::Bytes(data, size));
    Settings s;
    const bool taken = ReadLocationFile(s, fuzz::Scratch());
    fuzz::Require(taken == !QFileInfo::exists(location), "taken over exactly when deleted");
    if (taken) {
        fuzz::Require(QFileInfo(QString::fromStdString(s.UserFilePath)).isFile(), "names an existing file");
    } else {
        fuzz::Require(s.UserFilePath.empty(), "nothing changes when not taken");
    }
    return 0;
}
