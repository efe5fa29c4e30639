#pragma once
// The music font, installed for this process only and removed again at the end.

#include <QString>

namespace orbel {

class PrivateFont {
public:
    PrivateFont() = default;
    ~PrivateFont() { remove(); }
    PrivateFont(const PrivateFont&) = delete;
    PrivateFont& operator=(const PrivateFont&) = delete;

    // Adds the font file and checks that a font asked for by family name now
    // resolves to it. False when the file is missing or not a usable font.
    bool install(const QString& path, const QString& family);
    void remove();
    bool installed() const { return id_ >= 0; }

private:
    int id_ = -1;
};

} // namespace orbel
