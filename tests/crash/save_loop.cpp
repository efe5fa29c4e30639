// Saves one file over and over, as the trainer does, until it is killed: the crash-safety test kills it at
// random moments. "settings FOLDER" writes cfg.infdat with the tempo alternating between two values;
// "favourites FILE" marks and unmarks the first phrase of a phrase file.

#include "app/settings_file.h"
#include "datafiles/phrase_file.h"

#include <cstdio>
#include <cstring>

namespace {

class SilentPrompter final : public orbel::Prompter {
public:
    void message(const QString&, orbel::PromptIcon) override {}
    bool askYesNo(const QString&) override { return false; }
};

} // namespace

int main(int argc, char** argv) {
    if (argc != 3) {
        std::fprintf(stderr, "usage: save_loop settings FOLDER | favourites FILE\n");
        return 64;
    }
    const QString target = QString::fromLocal8Bit(argv[2]);
    if (std::strcmp(argv[1], "settings") == 0) {
        SilentPrompter prompter;
        orbel::Settings settings;
        orbel::ApplyLoadRules(settings);
        for (int i = 0;; ++i) {
            settings.Tempo = static_cast<std::int16_t>(i % 2 == 0 ? 100 : 200);
            int mode = orbel::settings_file::SaveMode;
            orbel::SettingsFileIO(mode, settings, target, prompter);
        }
    }
    orbel::PhraseList list;
    for (int i = 0;; ++i) {
        if (orbel::ReadPhraseFile(list, target).count == 0) return 2;
        list.PhraseFavourite[0] = static_cast<std::int16_t>(1 - list.PhraseFavourite[0]);
        if (!orbel::SaveFavourites(list, target)) return 3;
    }
}
