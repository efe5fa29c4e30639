#include "sound/cpu_pressure.h"

#include <fstream>
#include <string>

namespace orbel {

namespace {
static constexpr const char* PressureFile = "/proc/pressure/cpu";
static constexpr const char* SomeLine = "some ";
static constexpr const char* Average = "avg10=";
} // namespace

std::optional<double> CpuPressureLastTenSeconds() {
    std::ifstream in(PressureFile);
    std::string line;
    while (std::getline(in, line)) {
        if (line.rfind(SomeLine, 0) != 0) continue;
        const std::size_t at = line.find(Average);
        if (at == std::string::npos) return std::nullopt;
        try {
            return std::stod(line.substr(at + std::char_traits<char>::length(Average)));
        } catch (const std::exception&) {
            return std::nullopt;
        }
    }
    return std::nullopt;
}

} // namespace orbel
