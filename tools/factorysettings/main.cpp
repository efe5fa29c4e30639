// Writes the factory settings record, cfg_org.infdat, to the path given as the only argument: every field at
// its factory value in the settings table (theory/settings_table.h). The File menu's reset copies it over
// cfg.infdat, so every value must already satisfy the load rules.

#include "app/settings_file.h"
#include "datafiles/atomic_save.h"
#include "theory/settings.h"

#include <QString>
#include <cstdio>

int main(int argc, char** argv) {
    if (argc != 2) {
        std::fprintf(stderr, "usage: %s <cfg_org.infdat>\n", argv[0]);
        return 2;
    }
    const orbel::Settings factory = orbel::FactorySettings();
    orbel::Settings checked = factory;
    orbel::ApplyLoadRules(checked);
    if (!(checked == factory)) {
        std::fprintf(stderr, "factory settings break a load rule\n");
        return 1;
    }
    const QString path = QString::fromLocal8Bit(argv[1]);
    if (!orbel::WriteFileAtomic(path, orbel::EncodeSettingsRecord(factory))) {
        std::fprintf(stderr, "cannot write %s\n", argv[1]);
        return 1;
    }
    return 0;
}
