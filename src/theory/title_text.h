#pragma once
// The title of the current study item as the main window shows it under the
// staff, and the explanation of a phrase item.

#include "theory/catalogue.h"
#include "theory/phrase_list.h"
#include "theory/settings.h"

#include <string>

namespace orbel {

struct ItemTexts {
    std::string TitleText;
    std::string CommentText; // phrase study types only
};

// Texts for item pat on root, read before the item is built: key names take the
// majorSpelling of the previous build. An item outside its list gives blanks. The item's name and
// explanation come as DisplayLine shows them.
ItemTexts MakeItemTexts(const Settings& settings, const Catalogue& catalogue, const PhraseList& phrases,
                        int majorSpelling, int pat, int root);

} // namespace orbel
