#pragma once
// What the benchmarks read about their own process: resident memory, processor time and open handles.

#include <QDir>
#include <fstream>
#include <string>
#include <sys/resource.h>

namespace orbel::bench {

// A line of /proc/self/status in MiB: VmRSS (all resident pages), RssAnon (the process's own memory) or
// RssFile (pages of files: libraries and fonts, shared with every other program that maps them).
inline double StatusMiB(const std::string& key) {
    std::ifstream status("/proc/self/status");
    for (std::string line; std::getline(status, line);) {
        if (line.rfind(key + ":", 0) == 0) return std::stod(line.substr(key.size() + 1)) / 1024;
    }
    return 0;
}

inline double ResidentMiB() {
    return StatusMiB("VmRSS");
}

inline double CpuSeconds() {
    rusage usage{};
    ::getrusage(RUSAGE_SELF, &usage);
    return static_cast<double>(usage.ru_utime.tv_sec + usage.ru_stime.tv_sec) +
           static_cast<double>(usage.ru_utime.tv_usec + usage.ru_stime.tv_usec) / 1e6;
}

// File descriptors the process holds: files, sockets, pipes, timers.
inline int OpenHandles() {
    return static_cast<int>(QDir(QStringLiteral("/proc/self/fd"))
                                .entryList(QDir::AllEntries | QDir::System | QDir::NoDotAndDotDot)
                                .size());
}

} // namespace orbel::bench
