#pragma once
// What the fuzz targets share: the input as bytes, a scratch folder for the readers that take a path, and a
// failed property that stops the run with its name.

#include <QByteArray>
#include <QByteArrayView>
#include <QDir>
#include <QFile>
#include <QString>
#include <cstdint>
#include <cstdio>
#include <cstdlib>
#include <unistd.h>

namespace orbel::fuzz {

inline QByteArrayView Bytes(const std::uint8_t* data, std::size_t size) {
    return {reinterpret_cast<const char*>(data), static_cast<qsizetype>(size)};
}

// A property that does not hold is a finding, as a crash is.
inline void Require(bool holds, const char* property) {
    if (holds) return;
    std::fprintf(stderr, "property failed: %s\n", property);
    std::abort();
}

// One folder per fuzzing process, emptied of nothing: each input overwrites the files it needs.
inline const QString& Scratch() {
    static const QString folder = [] {
        const QString path = QDir::tempPath() + QStringLiteral("/orbel-fuzz-%1").arg(::getpid());
        QDir().mkpath(path);
        return path;
    }();
    return folder;
}

inline QString Put(const char* name, QByteArrayView bytes) {
    const QString path = Scratch() + QLatin1Char('/') + QLatin1String(name);
    QFile file(path);
    Require(file.open(QIODevice::WriteOnly | QIODevice::Truncate), "the scratch file can be written");
    file.write(bytes.data(), bytes.size());
    return path;
}

inline QByteArray Get(const QString& path) {
    QFile file(path);
    return file.open(QIODevice::ReadOnly) ? file.readAll() : QByteArray();
}

} // namespace orbel::fuzz
