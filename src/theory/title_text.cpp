#include "theory/title_text.h"

#include "theory/display_text.h"
#include "theory/note_names.h"
#include "theory/prepare_build.h"

namespace orbel {

namespace {

const std::string* Entry(const CatalogueColumn& column, int count, int index) {
    if (index < 0 || index >= count || index >= static_cast<int>(column.size())) return nullptr;
    return &column[static_cast<std::size_t>(index)];
}

} // namespace

ItemTexts MakeItemTexts(const Settings& settings, const Catalogue& catalogue, const PhraseList& phrases,
                        int majorSpelling, int pat, int root) {
    ItemTexts texts;
    const std::string key = KeyRootName(root, majorSpelling);
    const std::string* name = nullptr;
    switch (settings.StudyType) {
    case study_type::Scale:
        name = Entry(catalogue.ScaleNames, catalogue.ScaleCount, pat);
        break;
    case study_type::Chord:
        name = Entry(catalogue.ChordNames, catalogue.ChordCount, pat);
        break;
    case study_type::IIVIPattern:
        name = Entry(catalogue.PatternNames, catalogue.PatternCount, pat);
        break;
    case study_type::IIVIPhrase:
    case study_type::UserPhrase:
        if (pat >= 0 && pat < phrases.count()) {
            const auto item = static_cast<std::size_t>(pat);
            // The name is cut, not the title, so that the key stays in sight after a long name.
            texts.TitleText = DisplayLine(phrases.PhraseNames[item]) + " ( " +
                              KeyRootName(settings.RootKey, majorSpelling) + " )";
            texts.CommentText = DisplayLine(phrases.PhraseComment[item]);
        }
        return texts;
    default:
        return texts;
    }
    if (name) texts.TitleText = key + " " + DisplayLine(*name);
    return texts;
}

} // namespace orbel
