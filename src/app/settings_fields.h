#pragma once
// Settings fields by name, as a user writes them on a command line:
// "Tempo=140", "IIVIMode(1)=4", "StudyItem(3)=7", "ViewColour(5)=16711680".

#include "theory/settings.h"

#include <string>
#include <string_view>
#include <vector>

namespace orbel {

// Sets one field from "Name=Value" or "Name(index)=Value". Returns an empty
// string on success, else a sentence saying what was wrong.
std::string SetSettingsField(Settings& s, std::string_view assignment);

// Every settable name (indexed fields as "Name(i)"), for usage texts.
std::vector<std::string> SettingsFieldNames();

} // namespace orbel
