#include "theory/numbers.h"

#include <charconv>
#include <cmath>
#include <limits>
#include <system_error>

namespace orbel {

namespace {

bool IsDigit(char ch) {
    return ch >= '0' && ch <= '9';
}

} // namespace

double LeadingNumber(std::string_view text) {
    std::size_t pos = 0;
    while (pos < text.size() && (text[pos] == ' ' || text[pos] == '\t'))
        ++pos;

    bool negative = false;
    if (pos < text.size() && (text[pos] == '+' || text[pos] == '-')) {
        negative = text[pos] == '-';
        ++pos;
    }

    // The longest run of digits with at most one decimal point.
    const std::size_t start = pos;
    bool seenPoint = false;
    bool seenDigit = false;
    while (pos < text.size()) {
        const char ch = text[pos];
        if (IsDigit(ch)) {
            seenDigit = true;
        } else if (ch == '.' && !seenPoint) {
            seenPoint = true;
        } else {
            break;
        }
        ++pos;
    }
    if (!seenDigit) return 0.0;

    const std::string_view digits = text.substr(start, pos - start);
    double value = 0.0;
    const auto [end, error] =
        std::from_chars(digits.data(), digits.data() + digits.size(), value, std::chars_format::fixed);
    if (error == std::errc::result_out_of_range) {
        value = std::numeric_limits<double>::infinity();
    } else if (error != std::errc{} || end != digits.data() + digits.size()) {
        return 0.0;
    }
    return negative ? -value : value;
}

int RoundHalfEven(double value) {
    if (std::isnan(value)) return 0;
    double whole = std::floor(value);
    const double fraction = value - whole;
    if (fraction > 0.5 || (fraction == 0.5 && std::fmod(whole, 2.0) != 0.0)) whole += 1.0;

    constexpr double lowest = static_cast<double>(std::numeric_limits<int>::min());
    constexpr double highest = static_cast<double>(std::numeric_limits<int>::max());
    if (whole <= lowest) return std::numeric_limits<int>::min();
    if (whole >= highest) return std::numeric_limits<int>::max();
    return static_cast<int>(whole);
}

int LeadingWholeNumber(std::string_view text) {
    return RoundHalfEven(LeadingNumber(text));
}

} // namespace orbel
