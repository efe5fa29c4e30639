#pragma once
// The scale, chord and II–V–I pattern catalogues as read from scale.txt, code.txt
// and ptn.txt. Entries beyond the count of the last read keep what an earlier
// read left there; every user goes only up to the count.

#include <array>
#include <cstdint>
#include <string>

namespace orbel {

namespace catalogue_limits {
static constexpr int MaxEntries = 20; // data lines taken from one file
static constexpr int Slots = 31;      // room in each list
} // namespace catalogue_limits

using CatalogueColumn = std::array<std::string, catalogue_limits::Slots>;

struct Catalogue {
    CatalogueColumn ScaleNames;
    CatalogueColumn ScaleSteps;
    CatalogueColumn ChordNames;
    CatalogueColumn ChordSteps;
    CatalogueColumn PatternNames;
    CatalogueColumn PatternDigits;
    // Counts returned by the last read of each file.
    std::int16_t ScaleCount = 0;
    std::int16_t ChordCount = 0;
    std::int16_t PatternCount = 0;
};

} // namespace orbel
