// The simulated Logic Pro as the accessibility interface shows it: the application, its menu
// bar, the project window with its track rows, and the sheets and windows that come and go.

#include "platform/AxNames.h"
#include "platform/sim/SimLogicImpl.h"

#include <QDir>

#include <algorithm>
#include <cmath>
#include <utility>

namespace Vantrel::SimDetail {

namespace {

QList<Element> one(const SimElement::Ptr& e) {
    return e ? QList<Element>{e} : QList<Element>{};
}

std::int64_t flag(bool b) {
    return b ? 1 : 0;
}

// A menu as the menu bar shows it.
struct MenuEntry {
    QString title; // empty: a separator
    Cmd cmd = Cmd::None;
    bool disabled = false;
    std::vector<MenuEntry> items; // a submenu
    QString shortcut;             // the key of a Command-shortcut
    int shortcutMods = 0;         // 1 shift, 2 option, 4 control (Command is implied)
};

MenuEntry item(const char* title, Cmd cmd = Cmd::None) {
    return {QString::fromUtf8(title), cmd, false, {}, {}, 0};
}
MenuEntry off(const char* title) {
    return {QString::fromUtf8(title), Cmd::None, true, {}, {}, 0};
}
MenuEntry sep() {
    return {{}, Cmd::None, true, {}, {}, 0};
}
MenuEntry sub(const char* title, std::vector<MenuEntry> items) {
    return {QString::fromUtf8(title), Cmd::None, false, std::move(items), {}, 0};
}

struct MenuBarEntry {
    const char* title;
    bool global; // the application's own menus: usable while a dialog is up
    std::vector<MenuEntry> items;
};

// The menu bar; without the complete features the Track menu has no stack items.
std::vector<MenuBarEntry> menuBarEntries(bool completeFeatures) {
    MenuEntry stack = item("Create Track Stack…", Cmd::CreateStack);
    stack.shortcut = QStringLiteral("D");
    stack.shortcutMods = 1;
    std::vector<MenuEntry> stackItems{stack, item("Flatten Stack", Cmd::FlattenStack), sep()};
    if (!completeFeatures)
        stackItems.clear();
    std::vector<MenuEntry> trackMenu{item("New Tracks…"),
                                     item("New Audio Track", Cmd::NewAudioTrack),
                                     item("New Software Instrument Track"),
                                     item("New External MIDI Track"),
                                     sep(),
                                     item("Rename Track", Cmd::RenameTrack),
                                     item("Delete Track", Cmd::DeleteTrack),
                                     item("Delete Unused Tracks", Cmd::DeleteUnused),
                                     sep()};
    trackMenu.insert(trackMenu.end(), stackItems.begin(), stackItems.end());
    for (MenuEntry& e : std::vector<MenuEntry>{
             sub("Sort Tracks by",
                 {item("MIDI Channel", Cmd::SortOther), item("Audio Channel", Cmd::SortOther),
                  item("Output Channel", Cmd::SortOther), item("Instrument Name", Cmd::SortOther),
                  item("Track Name", Cmd::SortByName), item("Creation Date", Cmd::SortByDate)}),
             sep(), item("Assign Track Color…", Cmd::AssignColor), item("Assign Track Icon…"),
             sep(), item("Configure Track Header…"), item("Show Output Track")})
        trackMenu.push_back(std::move(e));
    return {
        {"Apple",
         true,
         {item("About This Mac"), sep(), item("System Settings…"), sep(), item("Force Quit…"),
          sep(), item("Lock Screen")}},
        {"Logic Pro",
         true,
         {item("About Logic Pro"), sep(),
          sub("Settings", {item("General…"), item("Audio…"), item("MIDI…"), item("Display…")}),
          sub("Control Surfaces", {item("Setup…")}), sep(),
          sub("Services", {off("No Services Apply")}), sep(), item("Hide Logic Pro"),
          item("Hide Others"), off("Show All"), sep(), item("Quit Logic Pro")}},
        {"File",
         false,
         {item("New…"), item("New from Template…"), item("Open…"),
          sub("Open Recent", {item("Clear Menu")}), item("Close Project"), sep(), item("Save"),
          item("Save As…"), off("Revert to Saved"), sep(),
          sub("Import", {item("Audio File…", Cmd::ImportAudio), item("MIDI File…"),
                         item("Logic Projects…"), item("Other…")}),
          sub("Export", {off("Selection as MIDI File…"), item("All Tracks as Audio Files…")}),
          sub("Bounce", {item("Project or Section…")}), sep(),
          sub("Project Settings", {item("General…"), item("Synchronization…")}), sep(),
          item("Page Setup…"), off("Print…")}},
        {"Edit",
         false,
         {off("Undo"), off("Redo"), item("Undo History…"), sep(), off("Cut"), off("Copy"),
          off("Paste"), off("Delete"), sep(), item("Select All"),
          sub("Select", {item("All Following"), item("Inside Locators")}), sep(),
          item("Emoji & Symbols")}},
        {"Track", false, trackMenu},
        {"Navigate",
         false,
         {sub("Go To", {item("Beginning"), item("End")}), item("Go to Position…"), sep(),
          item("Set Locators by Regions/Events/Marquee")}},
        {"Record",
         false,
         {item("Record"), item("Capture as Recording"), sep(), item("Record Settings…"),
          sub("Count-in", {item("None"), item("1 Bar"), item("2 Bars")})}},
        {"Mix",
         false,
         {item("Create New Auxiliary Channel Strip"), item("Create New Output Channel Strip"),
          sep(), off("Bypass All Plug-ins")}},
        {"View",
         false,
         {item("Show Library"), item("Show Inspector"), item("Show Toolbar"), sep(),
          item("Show Mixer"), item("Show Editor")}},
        {"Window",
         true,
         {item("Minimize"), item("Zoom"), sep(), item("Open Mixer"), item("Open Piano Roll"),
          item("Open Audio File Editor"), sep(), item("Bring All to Front")}},
        {"Help", true, {item("Logic Pro Help"), item("Release Notes"), item("Keyboard Shortcuts")}},
    };
}

// What a Logic Pro in German, French or Japanese shows instead of the English texts. Public
// guides confirm only some of them (Apple's German guide names the menu "Spur"); the others are
// this simulator's renderings in the language, not confirmed wording of Logic's, and its
// wording changes between versions ("Summenstapel" in the Logic Pro X 10.0 guide, "Summierstapel"
// in today's): what matters here is that none of them is the English title.
struct Translation {
    const char* english;
    const char* de;
    const char* fr;
    const char* ja;
};

constexpr Translation translations[] = {
    {"File", "Ablage", "Fichier", "ファイル"},
    {"Edit", "Bearbeiten", "Édition", "編集"},
    {"Track", "Spur", "Piste", "トラック"},
    {"Navigate", "Navigieren", "Naviguer", "ナビゲート"},
    {"Record", "Aufnahme", "Enregistrement", "録音"},
    {"Mix", "Mix", "Mixage", "ミックス"},
    {"View", "Darstellung", "Présentation", "表示"},
    {"Window", "Fenster", "Fenêtre", "ウインドウ"},
    {"Help", "Hilfe", "Aide", "ヘルプ"},
    {"New Tracks…", "Neue Spuren …", "Nouvelles pistes…", "新規トラック…"},
    {"New Audio Track", "Neue Audiospur", "Nouvelle piste audio", "新規オーディオトラック"},
    {"Rename Track", "Spur umbenennen", "Renommer la piste", "トラック名を変更"},
    {"Delete Track", "Spur löschen", "Supprimer la piste", "トラックを削除"},
    {"Delete Unused Tracks", "Nicht verwendete Spuren löschen", "Supprimer les pistes inutilisées",
     "未使用のトラックを削除"},
    {"Create Track Stack…", "Spurstapel erstellen …", "Créer une pile de pistes…",
     "トラックスタックを作成…"},
    {"Flatten Stack", "Stapel reduzieren", "Aplatir la pile", "スタックをフラット化"},
    {"Sort Tracks by", "Spuren sortieren nach", "Trier les pistes par", "トラックの並べ替え"},
    {"Track Name", "Spurname", "Nom de piste", "トラック名"},
    {"Creation Date", "Erstellungsdatum", "Date de création", "作成日"},
    {"Assign Track Color…", "Spurfarbe zuweisen …", "Attribuer une couleur à la piste…",
     "トラックカラーを割り当て…"},
    {"Import", "Importieren", "Importer", "読み込む"},
    {"Audio File…", "Audiodatei …", "Fichier audio…", "オーディオファイル…"},
    {"Untitled", "Ohne Titel", "Sans titre", "名称未設定"},
    {"Tracks", "Spuren", "Pistes", "トラック"},
    {"Tracks header", "Spur-Header", "En-tête des pistes", "トラックヘッダ"},
    {"Tracks time ruler", "Spuren-Zeitlineal", "Règle temporelle des pistes",
     "トラックのタイムルーラ"},
    {"Tracks contents", "Spureninhalt", "Contenu des pistes", "トラックの内容"},
    {"Color", "Farben", "Couleurs", "カラー"},
    {"Folder stack", "Ordnerstapel", "Pile de dossiers", "フォルダスタック"},
    {"Summing stack", "Summierstapel", "Pile de sommation", "サミングスタック"},
    {"Create", "Erstellen", "Créer", "作成"},
    {"Cancel", "Abbrechen", "Annuler", "キャンセル"},
    {"Add Selected Files to Tracks", "Ausgewählte Dateien zu Spuren hinzufügen",
     "Ajouter les fichiers sélectionnés aux pistes", "選択したファイルをトラックに追加"},
    {"Create new tracks", "Neue Spuren erstellen", "Créer de nouvelles pistes",
     "新規トラックを作成"},
    {"Use existing tracks", "Vorhandene Spuren verwenden", "Utiliser les pistes existantes",
     "既存のトラックを使用"},
    {"alert", "Hinweis", "alerte", "通知"},
    {"Don\u2019t Import", "Nicht importieren", "Ne pas importer", "読み込まない"},
};

} // namespace

QString Impl::text(const char* english) const {
    const QString e = QString::fromUtf8(english);
    if (!quirk(SimQuirk::language))
        return e;
    const QString& lang = values[std::size_t(SimQuirk::language)];
    for (const Translation& t : translations)
        if (e == QString::fromUtf8(t.english))
            return QString::fromUtf8(lang == u"fr" ? t.fr : lang == u"ja" ? t.ja : t.de);
    return e;
}

SimElement::Ptr Impl::make(const QString& role, std::optional<Rect> frame) {
    static const QStringList controls = {
        Ax::Role::button, Ax::Role::radioButton, Ax::Role::checkBox,          Ax::Role::textField,
        Ax::Role::slider, Ax::Role::popUpButton, Ax::Role::disclosureTriangle};
    SimElement::Ptr e = SimElement::make(this, role);
    e->frame = frame;
    if (controls.contains(role))
        e->set(Ax::Attr::enabled, true); // a getter or a later value may override it
    return e;
}

// --- The application and its menus.

void Impl::buildApp() {
    app = make(Ax::Role::application);
    app->set(Ax::Attr::title, QStringLiteral("Logic Pro"));
    app->getters[Ax::Attr::frontmost] = [this] { return AXValue(frontmost); };
    app->setters[Ax::Attr::frontmost] = [this](const AXValue& v) {
        const bool* b = std::get_if<bool>(&v);
        if (!b)
            return AXResult::illegalArgument;
        if (*b)
            activate();
        return AXResult::success;
    };
    app->getters[Ax::Attr::windows] = [this] {
        if (!windowsReadable())
            return AXValue(QList<Element>{});
        return AXValue(QList<Element>(zOrder.begin(), zOrder.end()));
    };
    app->getters[Ax::Attr::children] = [this] {
        QList<Element> kids{menuBar};
        if (windowsReadable())
            kids.append(QList<Element>(zOrder.begin(), zOrder.end()));
        return AXValue(kids);
    };
    app->getters[Ax::Attr::mainWindow] = [this] {
        return windowsReadable() ? AXValue(one(projectWin)) : AXValue();
    };
    app->getters[Ax::Attr::focusedWindow] = [this] {
        SimElement* w = keyWindow();
        return w && windowsReadable() ? AXValue(QList<Element>{w->shared_from_this()}) : AXValue();
    };
    buildMenus();
    buildProjectWindow();
}

bool Impl::menuEnabled(const MenuItem& m) const {
    if (m.disabled)
        return false;
    if (m.global)
        return true;
    if (!ready() || modalOpen())
        return false;
    bool track = false, stack = false;
    for (int i : computeVisible()) {
        const Track& t = tracks[static_cast<size_t>(i)];
        if (selected.count(t.id))
            (t.isStack ? stack : track) = true;
    }
    switch (m.cmd) {
    case Cmd::RenameTrack:
    case Cmd::DeleteTrack:
        return track || stack;
    case Cmd::CreateStack:
        return track;
    case Cmd::FlattenStack:
        return stack;
    case Cmd::SortByName:
    case Cmd::SortByDate:
    case Cmd::SortOther:
    case Cmd::DeleteUnused:
    case Cmd::AssignColor:
        return !tracks.empty();
    default:
        return true;
    }
}

int Impl::runMenu(Cmd cmd) {
    switch (cmd) {
    case Cmd::NewAudioTrack:
        after(Delay::menuCommand, [this] { newAudioTrack(); });
        break;
    case Cmd::RenameTrack:
        after(Delay::renameField, [this] {
            for (const Track& t : tracks)
                if (selected.count(t.id) && !hidden(t))
                    return beginEdit(t.id, true);
        });
        break;
    case Cmd::DeleteTrack:
        after(Delay::menuCommand, [this] { deleteSelected(); });
        break;
    case Cmd::DeleteUnused:
        after(Delay::deleteUnused, [this] { deleteUnused(); });
        break;
    case Cmd::CreateStack:
        after(Delay::sheet, [this] { openSheet(); });
        break;
    case Cmd::FlattenStack:
        after(Delay::menuCommand, [this] { flattenSelected(); });
        break;
    case Cmd::SortByName:
        if (!quirk(SimQuirk::sortByNameDoesNothing))
            after(Delay::sort, [this] { sortTracks(Cmd::SortByName); });
        break;
    case Cmd::SortByDate:
    case Cmd::SortOther:
        after(Delay::sort, [this, cmd] { sortTracks(cmd); });
        break;
    case Cmd::AssignColor:
        after(Delay::colorWindow, [this] { openColorWindow(); });
        break;
    case Cmd::ImportAudio:
        after(Delay::openPanel, [this] { openPanel(); });
        break;
    case Cmd::None:
        break;
    }
    return AXResult::success;
}

void Impl::buildMenus() {
    menuBar = app->add(
        make(Ax::Role::menuBar, Rect{{0, 0}, {Geo::screen.size.width, Geo::menuBarHeight}}));
    app->set(Ax::Attr::menuBar, QList<Element>{menuBar});
    std::function<void(const SimElement::Ptr&, const std::vector<MenuEntry>&, bool)> fill =
        [&](const SimElement::Ptr& menu, const std::vector<MenuEntry>& items, bool global) {
            for (const MenuEntry& entry : items) {
                SimElement::Ptr e = menu->add(make(Ax::Role::menuItem));
                e->set(Ax::Attr::title, text(entry.title.toUtf8().constData()));
                const MenuItem info{entry.cmd, entry.disabled, global};
                e->getters[Ax::Attr::enabled] = [this, info] { return AXValue(menuEnabled(info)); };
                if (!entry.shortcut.isEmpty()) {
                    e->set(Ax::Attr::menuItemCmdChar, entry.shortcut);
                    e->set(Ax::Attr::menuItemCmdModifiers, std::int64_t{entry.shortcutMods});
                }
                if (entry.title.isEmpty())
                    continue; // a separator cannot be pressed
                if (!entry.items.empty()) {
                    // Pressing an item with a submenu opens it.
                    e->press = [this, info] {
                        return menuEnabled(info) ? AXResult::success : AXResult::cannotComplete;
                    };
                    fill(e->add(make(Ax::Role::menu)), entry.items, global);
                    continue;
                }
                e->press = [this, info] {
                    if (quirk(SimQuirk::pressError) || !menuEnabled(info))
                        return AXResult::cannotComplete;
                    const int status = runMenu(info.cmd);
                    if (quirk(SimQuirk::pressErrorAfterEffect))
                        return AXResult::cannotComplete;
                    return status;
                };
            }
        };
    double x = 10;
    for (const MenuBarEntry& bar : menuBarEntries(!quirk(SimQuirk::completeFeaturesOff))) {
        const QString title = text(bar.title);
        const double width = title == QLatin1String("Apple") ? 24 : 14 + 8.0 * title.size();
        SimElement::Ptr e =
            menuBar->add(make(Ax::Role::menuBarItem, Rect{{x, 0}, {width, Geo::menuBarHeight}}));
        x += width;
        e->set(Ax::Attr::title, title).set(Ax::Attr::enabled, true);
        e->press = [] { return AXResult::success; }; // opens the menu
        fill(e->add(make(Ax::Role::menu)), bar.items, bar.global);
    }
}

// --- The project window.

Rect Impl::rowFrame(int slot) const {
    const Point w = Geo::project.origin;
    return {{w.x + Geo::headerLeft, w.y + Geo::rowsTop + slot * Geo::rowHeight},
            {headerWidth(), Geo::rowHeight}};
}

Rect Impl::trackArea() const {
    const Rect& w = Geo::project;
    const double pane = quirk(SimQuirk::mixerWindow) ? Geo::editorPane : 0;
    return {
        {w.origin.x + Geo::headerLeft, w.origin.y + Geo::rowsTop},
        {w.size.width - Geo::headerLeft - 4, w.size.height - Geo::rowsTop - Geo::bottomBar - pane}};
}

const Track* Impl::trackAtSlot(int slot) const {
    const size_t v = static_cast<size_t>(shownFirst + slot);
    if (slot < 0 || v >= visible.size())
        return nullptr;
    return &tracks[static_cast<size_t>(visible[v])];
}

Track* Impl::trackAtSlot(int slot) {
    return const_cast<Track*>(std::as_const(*this).trackAtSlot(slot));
}

std::optional<int> Impl::slotAt(Point p) const {
    if (!trackArea().contains(p))
        return std::nullopt;
    const Rect first = rowFrame(0);
    if (p.x < first.origin.x || p.x >= first.origin.x + first.size.width)
        return std::nullopt;
    const int slot = static_cast<int>(std::floor((p.y - first.origin.y) / Geo::rowHeight));
    if (slot < 0 || slot >= static_cast<int>(rows.size()))
        return std::nullopt;
    return slot;
}

void Impl::buildProjectWindow() {
    const Rect& w = Geo::project;
    const double x = w.origin.x, y = w.origin.y;
    const double rulerLeft = headerWidth() + 8;
    projectWin = make(Ax::Role::window, w);
    projectWin->set(Ax::Attr::subrole, Ax::Subrole::standardWindow).set(Ax::Attr::main, true);
    projectWin->getters[Ax::Attr::title] = [this] {
        const QString song =
            quirk(SimQuirk::userProject) ? QStringLiteral("My Song") : text("Untitled");
        return AXValue(QStringLiteral("%1.logicx - %1 - %2").arg(song, text("Tracks")));
    };
    projectWin->getters[Ax::Attr::focused] = [this] {
        return AXValue(keyWindow() == projectWin.get());
    };

    SimElement::Ptr controlBar =
        projectWin->add(make(Ax::Role::group, Rect{{x, y + 28}, {w.size.width, 52}}));
    controlBar->set(Ax::Attr::description, QStringLiteral("Control Bar"));
    controlBar->add(make(Ax::Role::staticText, Rect{{x + 560, y + 36}, {320, 36}}))
        ->set(Ax::Attr::value, QStringLiteral("1  1  1     1"))
        .set(Ax::Attr::description, QStringLiteral("Position"));

    const Rect tracksFrame{{x, y + 80}, {w.size.width, w.size.height - 80}};
    SimElement::Ptr tracksGroup = projectWin->add(make(Ax::Role::group, tracksFrame));
    tracksGroup->set(Ax::Attr::description, QStringLiteral("Tracks"));
    SimElement::Ptr split = tracksGroup->add(make(Ax::Role::splitGroup, tracksFrame));

    const Rect area = trackArea();
    SimElement::Ptr left = split->add(make(
        Ax::Role::splitGroup, Rect{{x, y + Geo::rulerTop},
                                   {rulerLeft, Geo::rowsTop - Geo::rulerTop + area.size.height}}));
    const Rect headerFrame{area.origin, {headerWidth(), area.size.height}};
    SimElement::Ptr scrollArea = left->add(make(Ax::Role::scrollArea, headerFrame));
    header = scrollArea->add(make(Ax::Role::group, headerFrame));
    header->set(Ax::Attr::description, quirk(SimQuirk::olderLayout)
                                           ? QStringLiteral("Track Headers")
                                           : text("Tracks header"));
    header->getters[Ax::Attr::selectedChildren] = [this] {
        QList<Element> on;
        for (size_t i = 0; i < rows.size(); ++i)
            if (const Track* t = trackAtSlot(static_cast<int>(i)); t && selected.count(t->id))
                on.append(rows[i].row);
        return AXValue(on);
    };
    header->setters[Ax::Attr::selectedChildren] = [this](const AXValue& v) {
        const auto* list = std::get_if<QList<Element>>(&v);
        if (!list)
            return AXResult::illegalArgument;
        std::set<int> ids;
        int last = -1;
        for (const Element& e : *list)
            for (size_t i = 0; i < rows.size(); ++i)
                if (rows[i].row == e)
                    if (const Track* t = trackAtSlot(static_cast<int>(i))) {
                        ids.insert(t->id);
                        last = t->id;
                    }
        selected = ids;
        anchor = last;
        return AXResult::success;
    };

    const double rulerWidth = w.size.width - rulerLeft - 16;
    SimElement::Ptr right = split->add(make(
        Ax::Role::splitGroup, Rect{{x + rulerLeft, y + Geo::rulerTop},
                                   {rulerWidth, Geo::rowsTop - Geo::rulerTop + area.size.height}}));
    const Rect rulerFrame{{x + rulerLeft, y + Geo::rulerTop}, {rulerWidth, Geo::rulerHeight}};
    ruler = right->add(make(Ax::Role::layoutArea, rulerFrame));
    ruler->set(Ax::Attr::description, text("Tracks time ruler"));
    const double rx = rulerFrame.origin.x, ry = rulerFrame.origin.y;
    const std::pair<const char*, Rect> marks[] = {
        {"cycle region", {{rx, ry}, {320, 14}}},
        {"Playhead thumb", {{rx - 6, ry + 14}, {12, 26}}},
        {"Start Marker", {{rx, ry + 26}, {10, 14}}},
        {"End Marker", {{rx + 1200, ry + 26}, {10, 14}}},
    };
    for (const auto& [desc, frame] : marks)
        ruler->add(make(Ax::Role::layoutItem, frame))
            ->set(Ax::Attr::description, QString::fromUtf8(desc));
    right
        ->add(make(Ax::Role::layoutArea,
                   Rect{{rx, ry + Geo::rulerHeight}, {rulerWidth, Geo::arrangementHeight}}))
        ->set(Ax::Attr::description, QStringLiteral("Arrangement"));
    SimElement::Ptr scroll =
        right->add(make(Ax::Role::scrollArea,
                        Rect{{x + rulerLeft, area.origin.y}, {rulerWidth, area.size.height}}));
    // As the public dump shows it: a group of one lane per track row, described like the
    // row, each holding the track's regions.
    contents = scroll->add(make(Ax::Role::group, scroll->frame));
    contents->set(Ax::Attr::description, text("Tracks contents"));

    if (quirk(SimQuirk::mixerWindow)) {
        // The editor pane below the track list: a drop onto it makes no track.
        const Rect pane{{x, area.origin.y + area.size.height}, {w.size.width, Geo::editorPane}};
        projectWin->add(make(Ax::Role::group, pane))
            ->set(Ax::Attr::description, QStringLiteral("Editor"));
    }

    openWindow(projectWin);
}

void Impl::relayout() {
    // The window is laid out anew at its place in the window order; its elements go stale.
    const auto at = std::find(zOrder.begin(), zOrder.end(), projectWin);
    const auto place = at - zOrder.begin();
    closeSheet();
    closeWindow(projectWin);
    rows.clear();
    buildProjectWindow();
    zOrder.erase(zOrder.begin());
    zOrder.insert(zOrder.begin() + std::min<std::ptrdiff_t>(place, std::ssize(zOrder)), projectWin);
}

void Impl::openMixer() {
    if (mixerWin)
        return;
    mixerWin = make(Ax::Role::window, Geo::mixer);
    mixerWin->set(Ax::Attr::title, QStringLiteral("Untitled - Mixer"))
        .set(Ax::Attr::subrole, Ax::Subrole::standardWindow);
    mixerWin->add(make(Ax::Role::layoutArea, Geo::mixer))
        ->set(Ax::Attr::description, QStringLiteral("Mixer"));
    openWindow(mixerWin);
}

void Impl::openOtherProject() {
    if (otherWin)
        return;
    // Another song with tracks of its own: only what a reader of its track list meets.
    const Rect& f = Geo::otherProject;
    otherWin = make(Ax::Role::window, f);
    otherWin->set(Ax::Attr::title, QStringLiteral("Other Song.logicx - Other Song - Tracks"))
        .set(Ax::Attr::subrole, Ax::Subrole::standardWindow);
    SimElement::Ptr group = otherWin->add(make(Ax::Role::group, f));
    group->set(Ax::Attr::description, QStringLiteral("Tracks"));
    const Rect list{{f.origin.x + Geo::headerLeft, f.origin.y + Geo::rowsTop},
                    {Geo::headerWidth, f.size.height - Geo::rowsTop - Geo::bottomBar}};
    SimElement::Ptr other =
        group->add(make(Ax::Role::scrollArea, list))->add(make(Ax::Role::group, list));
    other->set(Ax::Attr::description, QStringLiteral("Tracks header"));
    SimElement::Ptr lanes = group->add(make(Ax::Role::group, f));
    lanes->set(Ax::Attr::description, QStringLiteral("Tracks contents"));
    const char* const names[] = {"Guitar", "Organ"};
    for (int i = 0; i < 2; ++i) {
        const Rect r{{list.origin.x, list.origin.y + i * Geo::rowHeight},
                     {Geo::headerWidth, Geo::rowHeight}};
        const QString name = QString::fromUtf8(names[i]);
        const QString d = QStringLiteral("Track %1 \u201C%2\u201D").arg(i + 1).arg(name);
        SimElement::Ptr row = other->add(make(Ax::Role::layoutItem, r));
        row->set(Ax::Attr::description, d);
        row->add(make(Ax::Role::textField, offset(RowLayout{}.name(), r.origin)))
            ->set(Ax::Attr::description, name)
            .set(Ax::Attr::value, name);
        // One lane per row, its region an item of the lane, as in the project in front.
        SimElement::Ptr lane = lanes->add(
            make(Ax::Role::layoutArea, Rect{{list.origin.x + Geo::rulerLeft, r.origin.y},
                                            {f.size.width - Geo::rulerLeft, Geo::rowHeight}}));
        lane->set(Ax::Attr::description, d);
        lane->add(make(Ax::Role::layoutItem,
                       Rect{{list.origin.x + Geo::rulerLeft + 2, r.origin.y + 2},
                            {240, Geo::rowHeight - 4}}))
            ->set(Ax::Attr::help, QStringLiteral("Audio region."));
    }
    openWindow(otherWin);
    // Behind the project in front.
    zOrder.erase(zOrder.begin());
    zOrder.insert(std::find(zOrder.begin(), zOrder.end(), projectWin) + 1, otherWin);
}

void Impl::openUserSong() {
    const char* const names[] = {"Lead Vox", "Piano", "Bass"};
    for (const char* n : names) {
        Track t;
        t.name = QString::fromUtf8(n);
        t.hasAudio = true;
        t.file = t.name + QStringLiteral(".wav");
        insertTrack(static_cast<int>(tracks.size()), t);
    }
}

void Impl::sync() {
    visible = computeVisible();
    const int total = static_cast<int>(visible.size());
    int shown = total;
    shownFirst = 0;
    if (quirk(SimQuirk::visibleRowsOnly)) {
        const int cap = static_cast<int>(std::floor(trackArea().size.height / Geo::rowHeight));
        scroll = std::clamp(scroll, 0, std::max(0, total - cap));
        shownFirst = scroll;
        shown = std::min(cap, total - scroll);
    }
    if (!projectWin)
        return;
    header->set(Ax::Attr::description, quirk(SimQuirk::olderLayout)
                                           ? QStringLiteral("Track Headers")
                                           : text("Tracks header"));
    if (renewRows) {
        // The rows' elements are replaced: every handle to one goes stale.
        renewRows = false;
        while (!rows.empty()) {
            header->remove(rows.back().row);
            contents->remove(rows.back().lane);
            rows.pop_back();
        }
    }

    // Row elements stay where they are and show whatever track is at their place now.
    while (static_cast<int>(rows.size()) > shown) {
        header->remove(rows.back().row);
        contents->remove(rows.back().lane);
        rows.pop_back();
    }
    while (static_cast<int>(rows.size()) < shown) {
        const int slot = static_cast<int>(rows.size());
        const Rect f = rowFrame(slot);
        SimElement::Ptr row = header->add(make(Ax::Role::layoutItem, f));
        row->getters[Ax::Attr::description] = [this, slot] {
            const Track* t = trackAtSlot(slot);
            return AXValue(t ? description(static_cast<int>(t - tracks.data())) : QString());
        };
        row->getters[Ax::Attr::selected] = [this, slot] {
            const Track* t = trackAtSlot(slot);
            return AXValue(t && selected.count(t->id) > 0);
        };
        const RowLayout parts = rowLayout();
        row->add(make(Ax::Role::splitter, offset(parts.splitter(), f.origin)));
        const std::pair<const char*, Rect> boxes[] = {
            {"Mute", parts.mute()}, {"Solo", parts.solo()}, {"Record", parts.record()}};
        for (int b = 0; b < 3; ++b) {
            SimElement::Ptr box =
                row->add(make(Ax::Role::checkBox, offset(boxes[b].second, f.origin)));
            box->set(Ax::Attr::description, QString::fromUtf8(boxes[b].first));
            box->getters[Ax::Attr::value] = [this, slot, b] {
                const Track* t = trackAtSlot(slot);
                return AXValue(flag(t && (b == 0 ? t->mute : b == 1 ? t->solo : t->record)));
            };
            box->press = [this, slot, b] {
                if (Track* t = trackAtSlot(slot))
                    (b == 0 ? t->mute : b == 1 ? t->solo : t->record) ^= true;
                return AXResult::success;
            };
        }
        row->add(make(Ax::Role::slider, offset(parts.pan(), f.origin)))
            ->set(Ax::Attr::description, QStringLiteral("Pan"))
            .set(Ax::Attr::value, std::int64_t{0});
        row->add(make(Ax::Role::slider, offset(parts.volume(), f.origin)))
            ->set(Ax::Attr::description, QStringLiteral("Volume"))
            .set(Ax::Attr::value, 0.0);
        SimElement::Ptr name = row->add(make(Ax::Role::textField, offset(parts.name(), f.origin)));
        name->set(Ax::Attr::help, QStringLiteral("Name field. Double-click to rename the track."));
        name->getters[Ax::Attr::description] = [this, slot] {
            const Track* t = trackAtSlot(slot);
            return AXValue(t ? t->name : QString());
        };
        name->getters[Ax::Attr::value] = [this, slot] {
            const Track* t = trackAtSlot(slot);
            if (t && edit && edit->track == t->id)
                return AXValue(edit->field.text);
            return AXValue(t ? t->name : QString());
        };
        name->getters[Ax::Attr::focused] = [this, slot] {
            const Track* t = trackAtSlot(slot);
            return AXValue(t && edit && edit->track == t->id);
        };
        SimElement::Ptr button = row->add(make(Ax::Role::button, offset(Geo::icon, f.origin)));
        button->getters[Ax::Attr::description] = row->getters[Ax::Attr::description];
        button->press = [] { return AXResult::success; }; // the track icon: no modelled effect
        const Rect laneFrame{{contents->frame->origin.x, f.origin.y},
                             {contents->frame->size.width, Geo::rowHeight}};
        SimElement::Ptr lane = contents->add(make(Ax::Role::layoutArea, laneFrame));
        lane->getters[Ax::Attr::description] = row->getters[Ax::Attr::description];
        lane->set(Ax::Attr::help,
                  QStringLiteral("Workspace. The primary area for recording, editing, and "
                                 "arranging audio, MIDI, and Drummer regions, divided into "
                                 "different track types. "));
        rows.push_back({row, nullptr, lane, nullptr});
    }
    for (size_t i = 0; i < rows.size(); ++i) {
        RowSlot& slot = rows[i];
        const Track* t = trackAtSlot(static_cast<int>(i));
        const bool audio = t && !t->isStack && t->hasAudio;
        if (audio && !slot.region) {
            const Rect lf = *slot.lane->frame;
            slot.region =
                slot.lane->add(make(Ax::Role::layoutItem, Rect{{lf.origin.x + 2, lf.origin.y + 2},
                                                               {240, lf.size.height - 4}}));
            slot.region->set(Ax::Attr::help,
                             QStringLiteral("Region starts at 1 bar 1 beat 1 tick and ends at 9 "
                                            "bars 1 beat 1 tick. Audio region."));
        } else if (!audio && slot.region) {
            slot.lane->remove(slot.region);
            slot.region = nullptr;
        }
    }
    for (size_t i = 0; i < rows.size(); ++i) {
        RowSlot& slot = rows[i];
        const Track* t = trackAtSlot(static_cast<int>(i));
        const bool want = t && t->isStack;
        if (want && !slot.triangle) {
            const int s = static_cast<int>(i);
            slot.triangle = slot.row->insert(
                1,
                make(quirk(SimQuirk::olderLayout) ? Ax::Role::button : Ax::Role::disclosureTriangle,
                     offset(Geo::triangle, slot.row->frame->origin)));
            slot.triangle->set(Ax::Attr::help, QStringLiteral("Open or close the track stack"));
            slot.triangle->getters[Ax::Attr::value] = [this, s] {
                const Track* st = trackAtSlot(s);
                return AXValue(flag(st && !st->folded));
            };
            slot.triangle->press = [this, s] {
                if (quirk(SimQuirk::trianglePressDoesNothing))
                    return AXResult::success;
                if (const Track* st = trackAtSlot(s); st && st->isStack) {
                    const int id = st->id;
                    after(Delay::fold, [this, id] { toggleFold(id, false); });
                }
                return AXResult::success;
            };
        } else if (!want && slot.triangle) {
            slot.row->remove(slot.triangle);
            slot.triangle = nullptr;
        }
    }
}

// --- Windows.

void Impl::openWindow(const SimElement::Ptr& w) {
    app->add(w);
    zOrder.insert(zOrder.begin(), w);
}

void Impl::closeWindow(SimElement::Ptr& w) {
    if (!w)
        return;
    std::erase(zOrder, w);
    app->remove(w);
    w = nullptr;
}

SimElement* Impl::keyWindow() const {
    for (const auto& w : zOrder)
        if (w == panelWin || w == optionsWin || w == alertWin || w == startupWin)
            return w.get();
    return projectWin.get();
}

bool Impl::modalOpen() const {
    return panelWin || optionsWin || alertWin || startupWin || sheet;
}

bool Impl::blocked(const SimElement* el) const {
    const SimElement* win = el->window();
    if (!win)
        return false;
    const SimElement* key = keyWindow();
    if (key != projectWin.get() && win != key)
        return true;
    return sheet && win == projectWin.get() && !sheet->el->contains(el);
}

// --- The track stack sheet.

void Impl::openSheet() {
    if (sheet || !projectWin || !menuEnabled({Cmd::CreateStack, false, false}))
        return;
    const Rect& w = Geo::project;
    const Rect f{{w.origin.x + (w.size.width - 420) / 2, w.origin.y + 28}, {420, 170}};
    const double x = f.origin.x, y = f.origin.y;
    StackSheet s;
    s.el = make(Ax::Role::sheet, f);
    s.el->add(make(Ax::Role::staticText, Rect{{x + 20, y + 16}, {380, 20}}))
        ->set(Ax::Attr::value, QStringLiteral("Create a track stack from the selected tracks."));
    SimElement::Ptr group =
        s.el->add(make(Ax::Role::radioGroup, Rect{{x + 20, y + 48}, {380, 60}}));
    const bool older = quirk(SimQuirk::summingStackTitle);
    const std::pair<QString, bool> choices[] = {
        {older ? QStringLiteral("Folder Stack") : text("Folder stack"), false},
        {older ? QStringLiteral("Summing Stack") : text("Summing stack"), true}};
    for (int i = 0; i < 2; ++i) {
        SimElement::Ptr r =
            group->add(make(Ax::Role::radioButton, Rect{{x + 24, y + 50 + 28.0 * i}, {200, 22}}));
        const bool summing = choices[i].second;
        r->set(Ax::Attr::title, choices[i].first);
        r->getters[Ax::Attr::value] = [this, summing] {
            return AXValue(flag(sheet && sheet->summingChosen == summing));
        };
        r->press = [this, summing] {
            if (sheet)
                sheet->summingChosen = summing;
            return AXResult::success;
        };
        (summing ? s.summing : s.folder) = r;
    }
    SimElement::Ptr cancel = s.el->add(make(Ax::Role::button, Rect{{x + 228, y + 128}, {80, 28}}));
    cancel->set(Ax::Attr::title, text("Cancel"));
    cancel->press = [this] {
        closeSheet();
        return AXResult::success;
    };
    SimElement::Ptr create = s.el->add(make(Ax::Role::button, Rect{{x + 320, y + 128}, {80, 28}}));
    create->set(Ax::Attr::title,
                quirk(SimQuirk::stackDialogOk) ? QStringLiteral("OK") : text("Create"));
    create->press = [this] {
        pressCreate();
        return AXResult::success;
    };
    // Return presses the default button.
    const std::weak_ptr<SimElement> defaultButton = create;
    s.el->getters[Ax::Attr::defaultButton] = [defaultButton] {
        QList<Element> b;
        if (const SimElement::Ptr p = defaultButton.lock())
            b.append(p);
        return AXValue(b);
    };
    projectWin->add(s.el);
    sheet = std::move(s);
}

void Impl::closeSheet() {
    if (!sheet)
        return;
    projectWin->remove(sheet->el);
    sheet.reset();
}

void Impl::pressCreate() {
    if (!sheet)
        return;
    const bool summing = sheet->summingChosen;
    closeSheet();
    after(Delay::stackCreated, [this, summing] { createStack(summing); });
}

// --- The Color window.

void Impl::openColorWindow() {
    if (colorWin)
        return;
    colorWin = make(Ax::Role::window, Geo::color);
    colorWin->set(Ax::Attr::title, text("Color"))
        .set(Ax::Attr::subrole, Ax::Subrole::floatingWindow);
    buildColorContent();
    openWindow(colorWin);
}

void Impl::buildColorContent() {
    colorWin->removeChildren();
    const Point o = Geo::color.origin;
    SimElement::Ptr close =
        colorWin->add(make(Ax::Role::button, Rect{{o.x + 8, o.y + 7}, {14, 16}}));
    close->set(Ax::Attr::subrole, Ax::Subrole::closeButton)
        .set(Ax::Attr::description, QStringLiteral("close"));
    close->press = [this] {
        closeWindow(colorWin);
        return AXResult::success;
    };
    // A column of colour-set buttons left of the palette, one per palette row.
    const char* sets[] = {"Standard colors", "Light colors", "Dark colors", "Custom colors"};
    for (int r = 0; r < Geo::paletteRows; ++r) {
        const Point c{o.x + Geo::swatchX0 - Geo::swatchPitchX,
                      o.y + Geo::swatchY0 + r * Geo::swatchPitchY};
        SimElement::Ptr b = colorWin->add(
            make(Ax::Role::button,
                 Rect{{c.x - Geo::swatch.width / 2, c.y - Geo::swatch.height / 2}, Geo::swatch}));
        b->set(Ax::Attr::description, QString::fromUtf8(sets[r]))
            .set(Ax::Attr::value, std::int64_t{r == 0 ? 1 : 0});
        b->press = [] { return AXResult::success; }; // colour sets are not modelled
    }
    const Rect grid{
        {o.x + Geo::swatchX0 - Geo::swatch.width / 2, o.y + Geo::swatchY0 - Geo::swatch.height / 2},
        {Geo::swatchPitchX * (Geo::paletteColumns - 1) + Geo::swatch.width,
         Geo::swatchPitchY * (Geo::paletteRows - 1) + Geo::swatch.height}};
    if (quirk(SimQuirk::colorGridUnreadable)) {
        // One custom view: no children, no value.
        colorWin->add(make(Ax::Role::group, grid))
            ->set(Ax::Attr::description, QStringLiteral("palette"));
        return;
    }
    SimElement::Ptr palette = colorWin->add(make(Ax::Role::group, grid));
    for (int r = 0; r < Geo::paletteRows; ++r)
        for (int c = 0; c < Geo::paletteColumns; ++c) {
            const Point centre{o.x + Geo::swatchX0 + c * Geo::swatchPitchX,
                               o.y + Geo::swatchY0 + r * Geo::swatchPitchY};
            SimElement::Ptr s = palette->add(
                make(Ax::Role::button,
                     Rect{{centre.x - Geo::swatch.width / 2, centre.y - Geo::swatch.height / 2},
                          Geo::swatch}));
            const std::pair<int, int> cell{c, r};
            // The value tells whether the first selected track has this colour.
            s->getters[Ax::Attr::value] = [this, cell] {
                for (const Track& t : tracks)
                    if (selected.count(t.id))
                        return AXValue(flag(t.color == cell));
                return AXValue(std::int64_t{0});
            };
            s->press = [this, cell] {
                after(Delay::colorApplied, [this, cell] { colorSelected(cell); });
                return AXResult::success;
            };
        }
}

std::optional<std::pair<int, int>> Impl::swatchAt(Point p) const {
    if (!colorWin)
        return std::nullopt;
    const double lx = p.x - Geo::color.origin.x - Geo::swatchX0;
    const double ly = p.y - Geo::color.origin.y - Geo::swatchY0;
    const int c = static_cast<int>(std::lround(lx / Geo::swatchPitchX));
    const int r = static_cast<int>(std::lround(ly / Geo::swatchPitchY));
    if (c < 0 || c >= Geo::paletteColumns || r < 0 || r >= Geo::paletteRows)
        return std::nullopt;
    if (std::abs(lx - c * Geo::swatchPitchX) > Geo::swatch.width / 2 ||
        std::abs(ly - r * Geo::swatchPitchY) > Geo::swatch.height / 2)
        return std::nullopt;
    return std::make_pair(c, r);
}

// --- The import dialog.

void Impl::openPanel() {
    if (panelWin)
        return;
    const Rect& f = Geo::panel;
    const double x = f.origin.x, y = f.origin.y;
    panelWin = make(Ax::Role::window, f);
    panelWin->set(Ax::Attr::title, QStringLiteral("Open File"))
        .set(Ax::Attr::identifier, Ax::Id::openPanel)
        .set(Ax::Attr::subrole, Ax::Subrole::dialog)
        .set(Ax::Attr::modal, true);
    panel.emplace();
    SimElement::Ptr location =
        panelWin->add(make(Ax::Role::popUpButton, Rect{{x + 300, y + 20}, {200, 24}}));
    location->set(Ax::Attr::description, QStringLiteral("Location"));
    location->getters[Ax::Attr::value] = [this] {
        return AXValue(panel ? QFileInfo(panel->folder).fileName() : QString());
    };
    SimElement::Ptr scrollArea =
        panelWin->add(make(Ax::Role::scrollArea, Rect{{x + 180, y + 60}, {600, 380}}));
    panel->list = scrollArea->add(make(Ax::Role::outline, scrollArea->frame));
    panel->list->set(Ax::Attr::identifier, Ax::Id::fileList);
    panel->list->getters[Ax::Attr::selectedRows] = [this] {
        QList<Element> on;
        if (panel)
            for (int i : panel->chosen)
                on.append(panel->rows[static_cast<size_t>(i)]);
        return AXValue(on);
    };
    panel->list->setters[Ax::Attr::selectedRows] = [this](const AXValue& v) {
        const auto* list = std::get_if<QList<Element>>(&v);
        if (!list || !panel)
            return AXResult::illegalArgument;
        std::set<int> chosen;
        for (const Element& e : *list)
            for (size_t i = 0; i < panel->rows.size(); ++i)
                if (panel->rows[i] == e)
                    chosen.insert(static_cast<int>(i));
        panel->chosen = chosen;
        return AXResult::success;
    };
    SimElement::Ptr cancel = panelWin->add(
        make(Ax::Role::button, Rect{{x + f.size.width - 200, y + f.size.height - 44}, {84, 28}}));
    cancel->set(Ax::Attr::title, QStringLiteral("Cancel"));
    cancel->press = [this] {
        after(Delay::panelClose, [this] { closePanel(); });
        return AXResult::success;
    };
    panel->ok = panelWin->add(
        make(Ax::Role::button, Rect{{x + f.size.width - 100, y + f.size.height - 44}, {84, 28}}));
    panel->ok->set(Ax::Attr::title, QStringLiteral("Open"))
        .set(Ax::Attr::identifier, Ax::Id::openButton);
    panel->ok->getters[Ax::Attr::enabled] = [this] { return AXValue(panelCanOpen()); };
    panel->ok->press = [this] {
        if (!panelCanOpen())
            return AXResult::cannotComplete;
        pressPanelOpen();
        return AXResult::success;
    };
    setPanelFolder(lastPanelFolder.isEmpty() ? QDir::homePath() : lastPanelFolder);
    openWindow(panelWin);
}

void Impl::closePanel() {
    panel.reset();
    closeWindow(panelWin);
}

void Impl::setPanelFolder(const QString& folder, const QString& select) {
    if (!panel)
        return;
    panel->folder = QDir::cleanPath(folder);
    QList<QFileInfo> entries =
        QDir(panel->folder).entryInfoList(QDir::AllEntries | QDir::NoDotAndDotDot, QDir::NoSort);
    std::sort(entries.begin(), entries.end(), [](const QFileInfo& a, const QFileInfo& b) {
        const int ci = QString::compare(a.fileName(), b.fileName(), Qt::CaseInsensitive);
        return ci != 0 ? ci < 0 : a.fileName() < b.fileName();
    });
    panel->entries = entries;
    panel->chosen.clear();
    panel->rows.clear();
    panel->list->removeChildren();
    const Point o = panel->list->frame->origin;
    const double width = panel->list->frame->size.width;
    panel->list->add(make(Ax::Role::column, Rect{o, {width, 22}}))
        ->set(Ax::Attr::title, QStringLiteral("Name"));
    for (qsizetype i = 0; i < entries.size(); ++i) {
        const QFileInfo& info = entries[i];
        const Rect f{{o.x, o.y + 22 + i * Geo::listRowHeight}, {width, Geo::listRowHeight}};
        SimElement::Ptr row = panel->list->add(make(Ax::Role::row, f));
        const int index = static_cast<int>(i);
        row->getters[Ax::Attr::selected] = [this, index] {
            return AXValue(panel && panel->chosen.count(index) > 0);
        };
        SimElement::Ptr cell = row->add(make(Ax::Role::cell, f));
        cell->add(make(Ax::Role::image, Rect{{f.origin.x + 4, f.origin.y + 3}, {16, 16}}))
            ->set(Ax::Attr::description,
                  info.isDir() ? QStringLiteral("folder") : QStringLiteral("document"));
        cell->add(make(Ax::Role::textField,
                       Rect{{f.origin.x + 24, f.origin.y + 2}, {width - 30, 18}}))
            ->set(Ax::Attr::value, info.fileName())
            .set(Ax::Attr::enabled, info.isDir() || isAudioFile(info));
        panel->rows.push_back(row);
        if (!select.isEmpty() && info.fileName() == select)
            panel->chosen = {index};
    }
}

bool Impl::panelCanOpen() const {
    if (!panel || panel->chosen.empty())
        return false;
    for (int i : panel->chosen)
        if (!isAudioFile(panel->entries[i]))
            return false;
    return true;
}

void Impl::pressPanelOpen() {
    lastPanelFolder = panel->folder;
    QStringList files;
    for (int i : panel->chosen)
        files.append(panel->entries[i].absoluteFilePath());
    after(Delay::panelClose, [this, files] {
        closePanel();
        importFiles(files, ImportMode::OntoSelection);
    });
}

void Impl::openGoTo() {
    if (!panel || panel->goTo)
        return;
    const Rect& p = Geo::panel;
    const Rect f{{p.origin.x + (p.size.width - 460) / 2, p.origin.y + 28}, {460, 96}};
    const double x = f.origin.x, y = f.origin.y;
    SimElement::Ptr box = make(Ax::Role::sheet, f);
    box->set(Ax::Attr::identifier, Ax::Id::goToSheet);
    box->add(make(Ax::Role::staticText, Rect{{x + 16, y + 10}, {300, 18}}))
        ->set(Ax::Attr::value, QStringLiteral("Go to the folder:"));
    SimElement::Ptr field = box->add(make(Ax::Role::textField, Rect{{x + 16, y + 32}, {428, 22}}));
    field->set(Ax::Attr::identifier, Ax::Id::goToPathField).set(Ax::Attr::focused, true);
    field->getters[Ax::Attr::value] = [this] {
        return AXValue(panel ? panel->path.text : QString());
    };
    field->setters[Ax::Attr::value] = [this](const AXValue& v) {
        const auto* text = std::get_if<QString>(&v);
        if (!text)
            return AXResult::illegalArgument;
        if (panel)
            panel->path.reset(*text, false);
        return AXResult::success;
    };
    SimElement::Ptr cancel = box->add(make(Ax::Role::button, Rect{{x + 270, y + 62}, {80, 24}}));
    cancel->set(Ax::Attr::title, QStringLiteral("Cancel"));
    cancel->press = [this] {
        closeGoTo();
        return AXResult::success;
    };
    SimElement::Ptr go = box->add(make(Ax::Role::button, Rect{{x + 364, y + 62}, {80, 24}}));
    go->set(Ax::Attr::title, QStringLiteral("Go"));
    go->press = [this] {
        goToTypedPath();
        return AXResult::success;
    };
    panel->path.reset({}, false);
    panel->goTo = panelWin->add(box);
}

void Impl::closeGoTo() {
    if (!panel || !panel->goTo)
        return;
    panelWin->remove(panel->goTo);
    panel->goTo = nullptr;
}

namespace {

QString expandPath(const QString& typed, const QString& base) {
    QString p = typed.trimmed();
    if (p == QLatin1String("~") || p.startsWith(QLatin1String("~/")))
        p = QDir::homePath() + p.mid(1);
    if (!QDir::isAbsolutePath(p))
        p = base + QLatin1Char('/') + p;
    return QDir::cleanPath(p);
}

} // namespace

void Impl::goToTypedPath() {
    if (!panel)
        return;
    const QFileInfo target(expandPath(panel->path.text, panel->folder));
    // A folder that does not exist leaves the box open.
    if (!target.isDir() && !target.isFile())
        return;
    after(Delay::goToFolder, [this, target] {
        if (!panel)
            return;
        if (target.isDir())
            setPanelFolder(target.absoluteFilePath());
        else
            setPanelFolder(target.absolutePath(), target.fileName());
        closeGoTo();
    });
}

void Impl::completePath() {
    // Typing at the end of the path completes the last component when exactly one folder
    // starts with it; the completed part is selected, so the next key replaces it.
    TextEdit& path = panel->path;
    if (path.selLength != 0 || path.selStart != path.text.size())
        return;
    const qsizetype slash = path.text.lastIndexOf(QLatin1Char('/'));
    if (slash < 0)
        return;
    const QString partial = path.text.mid(slash + 1);
    if (partial.isEmpty())
        return;
    const QDir dir(expandPath(path.text.left(slash + 1), panel->folder));
    QDir::Filters filters = QDir::Dirs | QDir::NoDotAndDotDot;
    if (partial.startsWith(QLatin1Char('.')))
        filters |= QDir::Hidden;
    QStringList matches;
    for (const QString& name : dir.entryList(filters, QDir::NoSort))
        if (name.startsWith(partial, Qt::CaseInsensitive))
            matches.append(name);
    if (matches.size() != 1 || matches.first().size() == partial.size())
        return;
    const QString rest = matches.first().mid(partial.size());
    path.text += rest;
    path.selStart = path.text.size() - rest.size();
    path.selLength = rest.size();
}

// --- The options window and the tempo alert.

void Impl::openOptions(const QStringList& files) {
    if (optionsWin)
        return;
    options = Options{files, false, false};
    const Rect& f = Geo::options;
    const double x = f.origin.x, y = f.origin.y;
    optionsWin = make(Ax::Role::window, f);
    optionsWin->set(Ax::Attr::title, text("Add Selected Files to Tracks"))
        .set(Ax::Attr::subrole, Ax::Subrole::dialog)
        .set(Ax::Attr::modal, true);
    SimElement::Ptr group =
        optionsWin->add(make(Ax::Role::radioGroup, Rect{{x + 20, y + 40}, {360, 56}}));
    const std::pair<const char*, bool> choices[] = {{"Create new tracks", true},
                                                    {"Use existing tracks", false}};
    for (int i = 0; i < 2; ++i) {
        const bool createNew = choices[i].second;
        SimElement::Ptr r =
            group->add(make(Ax::Role::radioButton, Rect{{x + 24, y + 42 + 26.0 * i}, {240, 22}}));
        r->set(Ax::Attr::title, text(choices[i].first));
        r->getters[Ax::Attr::value] = [this, createNew] {
            return AXValue(flag(options && options->createNew == createNew));
        };
        r->press = [this, createNew] {
            if (options)
                options->createNew = createNew;
            return AXResult::success;
        };
    }
    SimElement::Ptr stems =
        optionsWin->add(make(Ax::Role::checkBox, Rect{{x + 24, y + 108}, {340, 22}}));
    stems->set(Ax::Attr::title, QStringLiteral("All selected files are stems from one project"));
    stems->getters[Ax::Attr::value] = [this] { return AXValue(flag(options && options->stems)); };
    stems->press = [this] {
        if (options)
            options->stems = !options->stems;
        return AXResult::success;
    };
    SimElement::Ptr cancel =
        optionsWin->add(make(Ax::Role::button, Rect{{x + 208, y + 156}, {80, 28}}));
    cancel->set(Ax::Attr::title, QStringLiteral("Cancel"));
    cancel->press = [this] {
        closeOptions();
        return AXResult::success;
    };
    SimElement::Ptr ok =
        optionsWin->add(make(Ax::Role::button, Rect{{x + 300, y + 156}, {80, 28}}));
    ok->set(Ax::Attr::title, QStringLiteral("OK"));
    ok->press = [this] {
        confirmOptions();
        return AXResult::success;
    };
    openWindow(optionsWin);
}

void Impl::confirmOptions() {
    if (!options)
        return;
    const Options chosen = *options;
    closeOptions();
    importFiles(chosen.files,
                chosen.createNew ? ImportMode::NewTracks : ImportMode::ExistingTracks);
}

void Impl::closeOptions() {
    options.reset();
    closeWindow(optionsWin);
}

void Impl::openAlert() {
    if (alertWin)
        return;
    const Rect& f = Geo::alert;
    const double x = f.origin.x, y = f.origin.y;
    alertWin = make(Ax::Role::window, f);
    alertWin->set(Ax::Attr::title, QString())
        .set(Ax::Attr::description, text("alert"))
        .set(Ax::Attr::subrole, Ax::Subrole::dialog)
        .set(Ax::Attr::modal, true);
    alertMessage = QStringLiteral("The imported audio file contains tempo information. Do you "
                                  "want to import it into the project?");
    alertWin->add(make(Ax::Role::staticText, Rect{{x + 20, y + 20}, {260, 60}}))
        ->set(Ax::Attr::value, alertMessage);
    // The buttons are "action-button-1" and "action-button-2"; which of them is "Don’t Import"
    // is not fixed: here the first alert has it first, and the order alternates after that.
    const bool dontFirst = alertsShown++ % 2 == 0;
    const std::pair<const char*, bool> buttons[] = {{"Import", true}, {"Don\u2019t Import", false}};
    for (int i = 0; i < 2; ++i) {
        const auto& [name, imports] = buttons[dontFirst ? 1 - i : i];
        SimElement::Ptr b =
            alertWin->add(make(Ax::Role::button, Rect{{x + 20 + 140.0 * i, y + 116}, {120, 28}}));
        b->set(Ax::Attr::identifier, Ax::Id::actionButtonPrefix + QString::number(i + 1))
            .set(Ax::Attr::title, text(name));
        b->press = [this, takes = imports] {
            answerAlert(takes);
            return AXResult::success;
        };
        const std::weak_ptr<SimElement> weak = b;
        // Return presses the first button, Escape "Don’t Import".
        if (!imports)
            alertWin->getters[Ax::Attr::cancelButton] = [weak] {
                QList<Element> e;
                if (const SimElement::Ptr p = weak.lock())
                    e.append(p);
                return AXValue(e);
            };
        if (i == 0) {
            alertDefaultImports = imports;
            alertWin->getters[Ax::Attr::defaultButton] = [weak] {
                QList<Element> e;
                if (const SimElement::Ptr p = weak.lock())
                    e.append(p);
                return AXValue(e);
            };
        }
    }
    openWindow(alertWin);
}

void Impl::answerAlert(bool importTempo) {
    // "Import" takes the file's tempo into the project; "Don’t Import" leaves it.
    if (importTempo)
        tempoImported = true;
    closeAlert();
}

void Impl::closeAlert() {
    closeWindow(alertWin);
}

// The dialog a new empty project opens with. Either button closes it; creating its one new
// track is left out, as nothing here reads that track.
void Impl::openStartupDialog() {
    if (startupWin)
        return;
    const Rect& f = Geo::newTracks;
    const double x = f.origin.x, y = f.origin.y;
    startupWin = make(Ax::Role::window, f);
    startupWin->set(Ax::Attr::title, QStringLiteral("New Tracks"))
        .set(Ax::Attr::subrole, Ax::Subrole::dialog)
        .set(Ax::Attr::modal, true);
    const char* const titles[] = {"Cancel", "Create"};
    for (int i = 0; i < 2; ++i) {
        SimElement::Ptr b =
            startupWin->add(make(Ax::Role::button, Rect{{x + 300 + 100.0 * i, y + 220}, {88, 28}}));
        b->set(Ax::Attr::title, QString::fromUtf8(titles[i]));
        b->press = [this] {
            closeWindow(startupWin);
            return AXResult::success;
        };
    }
    openWindow(startupWin);
}

} // namespace Vantrel::SimDetail
