#include "datafiles/link_text.h"

#include <QByteArray>
#include <algorithm>
#include <array>
#include <optional>
#include <string_view>

namespace orbel {

namespace {

struct LinkScheme {
    std::u16string_view prefix;
    bool scrambled = false;
};
// The longer first: the older scheme starts with the newer one's name.
static constexpr std::array<LinkScheme, 2> Schemes = {{{u"irealbook://", false}, {u"irealb://", true}}};
static constexpr std::u16string_view SchemeStart = u"ireal";

struct Entity {
    std::u16string_view name;
    char16_t character;
};
static constexpr std::array<Entity, 5> Entities = {
    {{u"amp", u'&'}, {u"lt", u'<'}, {u"gt", u'>'}, {u"quot", u'"'}, {u"apos", u'\''}}};
// "&#x1F3B5;" is the longest entity an attribute holds that a link could need.
static constexpr qsizetype MostEntityChars = 10;

// A link in plain text runs to the end of its line, a quote or an end tag: its chart's texts are written in
// "<…>", and its older form in blanks.
bool EndsPlainLink(QStringView rest) {
    const QChar ch = rest.front();
    return ch == u'\n' || ch == u'\r' || ch == u'"' || rest.startsWith(u"</");
}

// The character an entity at the start of text stands for, and its length; nothing for a lone "&".
std::optional<std::pair<char32_t, qsizetype>> ReadEntity(QStringView text) {
    const qsizetype semicolon = text.first(std::min(text.size(), MostEntityChars)).indexOf(u';');
    if (semicolon < 2) return std::nullopt;
    const QStringView name = text.sliced(1, semicolon - 1);
    for (const Entity& entity : Entities) {
        if (name == QStringView(entity.name)) return std::pair{char32_t(entity.character), semicolon + 1};
    }
    if (name[0] != u'#') return std::nullopt;
    bool number = false;
    const bool hex = name.size() > 1 && (name[1] == u'x' || name[1] == u'X');
    const uint code = name.sliced(hex ? 2 : 1).toUInt(&number, hex ? 16 : 10);
    if (!number || code == 0 || code > 0x10FFFF || (code >= 0xD800 && code <= 0xDFFF)) return std::nullopt;
    return std::pair{char32_t(code), semicolon + 1};
}

QString WithoutEntities(QStringView text) {
    QString plain;
    plain.reserve(text.size());
    for (qsizetype at = 0; at < text.size();) {
        const auto entity = text[at] == u'&' ? ReadEntity(text.sliced(at)) : std::nullopt;
        if (entity) {
            plain += QString::fromUcs4(&entity->first, 1);
            at += entity->second;
        } else {
            plain += text[at++];
        }
    }
    return plain;
}

int HexValue(QChar ch) {
    const char16_t c = ch.unicode();
    if (c >= u'0' && c <= u'9') return c - u'0';
    if (c >= u'a' && c <= u'f') return c - u'a' + 10;
    if (c >= u'A' && c <= u'F') return c - u'A' + 10;
    return -1;
}

// Percent escapes taken off, the bytes read as UTF-8. A "%" without two hex digits is kept as written (a
// plain link may hold one in its text), unless the link ends in it: then the link was cut short.
FoundLink Decoded(QStringView text, bool scrambled) {
    QByteArray bytes;
    bytes.reserve(text.size());
    qsizetype at = 0;
    while (at < text.size()) {
        const qsizetype percent = text.indexOf(u'%', at);
        bytes += text.sliced(at, (percent < 0 ? text.size() : percent) - at).toUtf8();
        if (percent < 0) break;
        at = percent;
        if (text.size() - at < 3)
            return {{},
                    scrambled,
                    QStringLiteral("The link ends in the middle of a %-escape: it was cut short.")};
        const int high = HexValue(text[at + 1]);
        const int low = HexValue(text[at + 2]);
        if (high < 0 || low < 0) {
            bytes += '%';
            ++at;
            continue;
        }
        bytes += static_cast<char>(high * 16 + low);
        at += 3;
    }
    return {QString::fromUtf8(bytes), scrambled, {}};
}

} // namespace

std::vector<FoundLink> FindLeadSheetLinks(QStringView text) {
    std::vector<FoundLink> links;
    qsizetype from = 0;
    while ((from = text.indexOf(QStringView(SchemeStart), from, Qt::CaseInsensitive)) >= 0) {
        const QStringView rest = text.sliced(from);
        const auto scheme = std::find_if(Schemes.begin(), Schemes.end(), [&](const LinkScheme& s) {
            return rest.startsWith(QStringView(s.prefix), Qt::CaseInsensitive);
        });
        if (scheme == Schemes.end()) {
            from += static_cast<qsizetype>(SchemeStart.size());
            continue;
        }
        const qsizetype start = from + static_cast<qsizetype>(scheme->prefix.size());
        const QChar before = from > 0 ? text[from - 1] : QChar();
        const bool quoted = before == u'"' || before == u'\'';
        qsizetype end = start;
        while (end < text.size() && (quoted ? text[end] != before : !EndsPlainLink(text.sliced(end))))
            ++end;
        links.push_back(
            Decoded(WithoutEntities(text.sliced(start, end - start).trimmed()), scheme->scrambled));
        from = end;
    }
    return links;
}

} // namespace orbel
