#include "automation/MenuLocator.h"

#include "automation/AXProbe.h"
#include "platform/AxNames.h"

#include <optional>

namespace Vantrel::MenuLocator {

namespace {

// AXMenuItemCmdModifiers: Command is implied unless this bit is set; 1 is Shift.
constexpr std::int64_t shiftModifier = 1;

// The items of the menu that opens from element (a menu bar item or an item with a submenu),
// separators (items without a title) left out; empty when it opens none.
QList<Element> itemsOf(Platform& platform, const Element& element) {
    QList<Element> items;
    for (const Element& child : AXProbe::kids(platform, element)) {
        if (AXProbe::str(platform, child, Ax::Attr::role) != Ax::Role::menu)
            continue;
        for (const Element& item : AXProbe::kids(platform, child)) {
            if (!AXProbe::str(platform, item, Ax::Attr::title).isEmpty())
                items << item;
        }
    }
    return items;
}

bool hasSubmenu(Platform& platform, const Element& item) {
    for (const Element& child : AXProbe::kids(platform, item)) {
        if (AXProbe::str(platform, child, Ax::Attr::role) == Ax::Role::menu)
            return true;
    }
    return false;
}

bool isShiftCommandD(Platform& platform, const Element& item) {
    if (AXProbe::str(platform, item, Ax::Attr::menuItemCmdChar)
            .compare(QLatin1String("D"), Qt::CaseInsensitive) != 0)
        return false;
    const AXValue mods = AXProbe::read(platform, item, Ax::Attr::menuItemCmdModifiers);
    const auto* m = std::get_if<std::int64_t>(&mods);
    return m && *m == shiftModifier;
}

// The Track menu's items, and where "Create Track Stack…" is among them (none when the menu
// has no such item).
struct TrackMenu {
    QList<Element> items;
    std::optional<qsizetype> stack;
};

std::optional<TrackMenu> trackMenu(Platform& platform, const Element& menuBar) {
    const QList<Element> menus = AXProbe::kids(platform, menuBar);
    for (const Element& menu : menus) {
        const QList<Element> items = itemsOf(platform, menu);
        for (qsizetype i = 0; i < items.size(); ++i) {
            if (isShiftCommandD(platform, items[i]))
                return TrackMenu{items, i};
        }
    }
    // Without the stack items: Logic's menus stand in a fixed order, the Track menu after Edit.
    if (menus.size() < 5)
        return std::nullopt;
    const QList<Element> items = itemsOf(platform, menus[4]);
    if (items.isEmpty())
        return std::nullopt;
    return TrackMenu{items, std::nullopt};
}

Element at(const QList<Element>& items, qsizetype i) {
    return i >= 0 && i < items.size() ? items[i] : Element();
}

// A title as compared with the table: without spaces and the ellipsis, which translations
// set differently ("Audiodatei …", "Fichier audio…").
QString bare(QString title) {
    title.remove(QChar(0x2026));
    title.remove(QLatin1String("..."));
    title.remove(QChar(' '));
    title.remove(QChar(0x00A0));
    title.remove(QChar(0x202F));
    return title.toCaseFolded();
}

// Logic's own titles of File > Import > Audio File… in German, French and Japanese.
struct ImportTitles {
    const char* file;
    const char* import;
    const char* audioFile;
};
constexpr ImportTitles importTitles[] = {
    {"Ablage", "Importieren", "Audiodatei"},
    {"Fichier", "Importer", "Fichier audio"},
    {"ファイル", "読み込む", "オーディオファイル"},
};

Element importAudioFile(Platform& platform, const Element& menuBar) {
    const QList<Element> menus = AXProbe::kids(platform, menuBar);
    for (const ImportTitles& t : importTitles) {
        const auto titled = [&](const QList<Element>& items, const char* title) {
            for (const Element& e : items) {
                if (bare(AXProbe::str(platform, e, Ax::Attr::title)) ==
                    bare(QString::fromUtf8(title)))
                    return e;
            }
            return Element();
        };
        const Element file = titled(menus, t.file);
        const Element import = file ? titled(itemsOf(platform, file), t.import) : Element();
        if (const Element audio =
                import ? titled(itemsOf(platform, import), t.audioFile) : Element())
            return audio;
    }
    return {};
}

} // namespace

Element locate(Platform& platform, const Element& menuBar, const QStringList& englishPath) {
    if (!menuBar || englishPath.isEmpty())
        return {};
    if (englishPath.first() == u"File")
        return englishPath == QStringList{QStringLiteral("File"), QStringLiteral("Import"),
                                          QStringLiteral("Audio File…")}
                   ? importAudioFile(platform, menuBar)
                   : Element();
    if (englishPath.first() != u"Track" || englishPath.size() < 2)
        return {};
    const std::optional<TrackMenu> menu = trackMenu(platform, menuBar);
    if (!menu)
        return {};
    const QString& item = englishPath[1];
    // Logic's Track menu begins New Tracks…, New Audio Track.
    if (item == u"New Audio Track")
        return at(menu->items, 1);
    if (!menu->stack)
        return {};
    const qsizetype stack = *menu->stack;
    // … Rename Track, Delete Track, Delete Unused Tracks, Create Track Stack…, Flatten Stack,
    // Sort Tracks by ▸, Assign Track Color…
    if (item == u"Create Track Stack…")
        return menu->items[stack];
    if (item == u"Delete Unused Tracks")
        return at(menu->items, stack - 1);
    if (item == u"Rename Track")
        return at(menu->items, stack - 3);
    qsizetype sort = stack + 1;
    while (sort < menu->items.size() && !hasSubmenu(platform, menu->items[sort]))
        ++sort;
    if (item == u"Assign Track Color…")
        return sort < menu->items.size() ? at(menu->items, sort + 1) : Element();
    if (item == u"Sort Tracks by" && englishPath.size() == 3 && sort < menu->items.size()) {
        // MIDI Channel, Audio Channel, Output Channel, Instrument Name, Track Name, Creation
        // Date.
        const QList<Element> by = itemsOf(platform, menu->items[sort]);
        if (englishPath[2] == u"Track Name")
            return at(by, 4);
        if (englishPath[2] == u"Creation Date")
            return at(by, 5);
    }
    return {};
}

} // namespace Vantrel::MenuLocator
