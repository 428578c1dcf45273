// How the simulated Logic Pro reacts to posted keyboard and mouse events and to file drops.

#include "platform/sim/SimLogicImpl.h"

#include <cmath>
#include <map>

namespace Vantrel::SimDetail {

namespace {

bool isModifierKey(std::uint16_t code) {
    return code >= 54 && code <= 63; // command, shift, caps lock, option, control (both sides), fn
}

// The text a key event types; none for shortcuts and keys that type nothing.
std::optional<QString> typedText(const KeyEvent& e) {
    if (e.flags & (EventFlags::command | EventFlags::control))
        return std::nullopt;
    if (e.unit)
        return QString(QChar(*e.unit));
    // Keys posted without text type what they show on a US keyboard.
    static const std::map<std::uint16_t, char> letters = {{Key::a, 'a'}, {Key::d, 'd'},
                                                          {Key::g, 'g'}, {Key::o, 'o'},
                                                          {Key::z, 'z'}, {Key::space, ' '}};
    const auto it = letters.find(e.keyCode);
    if (it == letters.end())
        return std::nullopt;
    const char c = it->second;
    const QString s(QLatin1Char{c});
    return (e.flags & EventFlags::shift) ? s.toUpper() : s;
}

SimElement* hitTest(SimElement* root, Point p) {
    const auto& kids = root->children();
    for (auto it = kids.rbegin(); it != kids.rend(); ++it)
        if (SimElement* hit = hitTest(it->get(), p))
            return hit;
    return root->press && root->frame && root->frame->contains(p) ? root : nullptr;
}

Point local(Point p, const Rect& frame) {
    return {p.x - frame.origin.x, p.y - frame.origin.y};
}

} // namespace

// --- Keys: they reach Logic only while it is frontmost, and go to its key window.

void Impl::key(const KeyEvent& e) {
    if (!running() || !trusted() || !frontmost || !e.down || isModifierKey(e.keyCode) || !ready())
        return;
    dirty = true;
    const bool cmd = e.flags & EventFlags::command;
    const bool shift = e.flags & EventFlags::shift;
    const bool enter = e.keyCode == Key::returnKey;
    const bool escape = e.keyCode == Key::escape;
    const SimElement* win = keyWindow();
    if (startupWin && win == startupWin.get()) {
        if (enter || escape)
            closeWindow(startupWin);
        return;
    }
    if (alertWin && win == alertWin.get()) {
        if (enter)
            answerAlert(alertDefaultImports);
        else if (escape)
            answerAlert(false);
        return;
    }
    if (optionsWin && win == optionsWin.get()) {
        if (enter)
            confirmOptions();
        else if (escape)
            closeOptions();
        return;
    }
    if (panelWin && win == panelWin.get()) {
        if (panel->goTo) {
            if (enter)
                goToTypedPath();
            else if (escape)
                closeGoTo();
            else
                editKey(panel->path, e, true);
        } else if (cmd && shift && e.keyCode == Key::g) {
            after(Delay::goToBox, [this] { openGoTo(); });
        } else if (enter && panelCanOpen()) {
            pressPanelOpen();
        } else if (escape) {
            after(Delay::panelClose, [this] { closePanel(); });
        }
        return;
    }
    if (sheet) {
        if (enter)
            pressCreate();
        else if (escape)
            closeSheet();
        return;
    }
    if (edit) {
        if (enter) {
            commitEdit();
        } else if (escape) {
            edit.reset();
        } else {
            editKey(edit->field, e, false);
            if (!cmd && typedText(e) && ++keysIntoNames >= number(SimQuirk::focusStolen, 2) &&
                quirk(SimQuirk::focusStolen) && !focusTaken)
                stealFocus();
        }
        return;
    }
    // With no text field in the focus, plain letters are key commands: R records, M mutes and
    // S solos the selected tracks.
    if (const auto text = typedText(e); text && !cmd && text->size() == 1) {
        const QChar c = text->at(0).toLower();
        for (Track& t : tracks) {
            if (!selected.count(t.id) || hidden(t))
                continue;
            if (c == QLatin1Char('r'))
                t.record = !t.record;
            else if (c == QLatin1Char('m'))
                t.mute = !t.mute;
            else if (c == QLatin1Char('s'))
                t.solo = !t.solo;
        }
    }
    if (cmd && shift && e.keyCode == Key::d) {
        if (!quirk(SimQuirk::noStackShortcut) && !quirk(SimQuirk::completeFeaturesOff) &&
            menuEnabled({Cmd::CreateStack, false, false}))
            after(Delay::sheet, [this] { openSheet(); });
        return;
    }
    if (!cmd && (e.keyCode == Key::up || e.keyCode == Key::down))
        moveSelection(e.keyCode == Key::up ? -1 : 1);
}

void Impl::editKey(TextEdit& field, const KeyEvent& e, bool complete) {
    if ((e.flags & EventFlags::command) && e.keyCode == Key::a) {
        field.selectAll();
    } else if (e.keyCode == Key::deleteKey) {
        field.backspace();
    } else if (const auto text = typedText(e)) {
        field.insert(*text);
        if (complete)
            completePath();
    }
}

// --- The mouse: events go to the Logic window under the point.

SimElement* Impl::windowAt(Point p) const {
    for (const auto& w : zOrder)
        if (w->frame && w->frame->contains(p))
            return w.get();
    return nullptr;
}

void Impl::mouse(const MouseEvent& e) {
    if (!running() || !trusted())
        return;
    dirty = true;
    switch (e.type) {
    case MouseEventType::leftDown:
        press.reset();
        mouseDown(e);
        break;
    case MouseEventType::leftDragged:
        if (press && press->kind == Press::Row &&
            std::hypot(e.point.x - press->at.x, e.point.y - press->at.y) > 3)
            press->dragging = true;
        break;
    case MouseEventType::leftUp:
        if (press)
            mouseUp(e);
        press.reset();
        break;
    case MouseEventType::moved:
        break;
    case MouseEventType::scrollWheel:
        // The wheel scrolls the track list under the pointer, whichever application is in front.
        if (projectWin && windowAt(e.point) == projectWin.get()) {
            const Rect area = trackArea();
            const Rect list{area.origin,
                            {Geo::project.origin.x + Geo::project.size.width - area.origin.x,
                             area.size.height}};
            if (list.contains(e.point))
                scrollBy(static_cast<int>(e.wheelLines));
        }
        break;
    }
}

void Impl::mouseDown(const MouseEvent& e) {
    SimElement* win = windowAt(e.point);
    if (!win)
        return;
    if (!frontmost) {
        activate(); // the click only brings Logic to the front
        return;
    }
    if (!ready() || blocked(win))
        return;
    if (edit) {
        // A click anywhere but in the name being edited ends the editing.
        const auto slot = win == projectWin.get() ? slotAt(e.point) : std::nullopt;
        const Track* t = slot ? trackAtSlot(*slot) : nullptr;
        if (!t || t->id != edit->track ||
            !rowLayout().name().contains(local(e.point, rowFrame(*slot))))
            commitEdit();
    }
    if (win == projectWin.get()) {
        if (sheet) {
            if (sheet->el->frame->contains(e.point))
                pressElementAt(sheet->el.get(), e);
            return;
        }
        projectDown(e);
        return;
    }
    if (win == colorWin.get())
        if (const auto cell = swatchAt(e.point)) {
            press = Press{};
            press->kind = Press::Swatch;
            press->cell = *cell;
            return;
        }
    pressElementAt(win, e);
}

void Impl::pressElementAt(SimElement* root, const MouseEvent& e) {
    if (SimElement* hit = hitTest(root, e.point)) {
        press = Press{};
        press->kind = Press::Element;
        press->element = hit->weak_from_this();
    }
}

void Impl::projectDown(const MouseEvent& e) {
    const auto slot = slotAt(e.point);
    if (!slot) {
        // A click on the empty part of the track list clears the selection.
        if (trackArea().contains(e.point) && !(e.flags & (EventFlags::command | EventFlags::shift)))
            selected.clear();
        return;
    }
    const Track* t = trackAtSlot(*slot);
    if (!t)
        return;
    const Point at = local(e.point, rowFrame(*slot));
    press = Press{};
    press->track = t->id;
    press->at = e.point;
    press->flags = e.flags;
    if (t->isStack && Geo::triangle.contains(at)) {
        press->kind = Press::Triangle;
        return;
    }
    const RowLayout parts = rowLayout();
    const Rect boxes[] = {parts.mute(), parts.solo(), parts.record()};
    for (int b = 0; b < 3; ++b)
        if (boxes[b].contains(at)) {
            press->kind = Press::Toggle;
            press->toggle = b;
            return;
        }
    if (parts.name().contains(at) && e.clickState >= 2) {
        press.reset();
        selectOnly(t->id);
        if (!quirk(SimQuirk::renameByDoubleClickFails))
            beginEdit(t->id, false);
        return;
    }
    if (edit && edit->track == t->id && parts.name().contains(at)) {
        press.reset(); // a click inside the field being edited
        return;
    }
    clickSelect(t->id, e.flags);
    press->kind = Press::Row;
}

void Impl::mouseUp(const MouseEvent& e) {
    const Press pr = *press;
    const auto slot = slotAt(e.point);
    const Track* onTrack = slot ? trackAtSlot(*slot) : nullptr;
    const bool sameTrack = onTrack && onTrack->id == pr.track;
    const Point at = slot ? local(e.point, rowFrame(*slot)) : Point{};
    switch (pr.kind) {
    case Press::Element:
        if (const auto el = pr.element.lock();
            el && el->alive() && el->press && el->frame && el->frame->contains(e.point)) {
            const SimElement::Action action = el->press;
            action();
        }
        break;
    case Press::Triangle:
        if (sameTrack && Geo::triangle.contains(at)) {
            const bool all = pr.flags & EventFlags::option;
            after(Delay::fold, [this, id = pr.track, all] { toggleFold(id, all); });
        }
        break;
    case Press::Toggle:
        if (sameTrack)
            if (Track* t = byId(pr.track))
                (pr.toggle == 0 ? t->mute : pr.toggle == 1 ? t->solo : t->record) ^= true;
        break;
    case Press::Row:
        if (pr.dragging) {
            // Dropped above the row whose upper half is under the pointer, else below it.
            const double pos =
                (e.point.y - Geo::project.origin.y - Geo::rowsTop) / Geo::rowHeight + shownFirst;
            const int index = static_cast<int>(std::floor(pos));
            int insert = pos - index < 0.5 ? index : index + 1;
            insert = std::clamp(insert, 0, static_cast<int>(visible.size()));
            const auto idAt = [this](int v) {
                return v >= 0 && v < static_cast<int>(visible.size())
                           ? tracks[static_cast<size_t>(visible[static_cast<size_t>(v)])].id
                           : -1;
            };
            after(Delay::headerMove, [this, id = pr.track, before = idAt(insert),
                                      prev = idAt(insert - 1)] { moveTrack(id, before, prev); });
        }
        break;
    case Press::Swatch:
        if (swatchAt(e.point) == pr.cell)
            after(Delay::colorApplied, [this, cell = pr.cell] { colorSelected(cell); });
        break;
    }
}

// --- File drops.

void Impl::drop(const QStringList& files, Point p) {
    if (!running() || !ready() || modalOpen())
        return;
    if (windowAt(p) != projectWin.get() || !trackArea().contains(p))
        return;
    QStringList audio;
    for (const QString& f : files)
        if (const QFileInfo info(f); isAudioFile(info))
            audio.append(info.absoluteFilePath());
    if (audio.isEmpty() || quirk(SimQuirk::dropIgnored))
        return;
    if (quirk(SimQuirk::firstDragIgnored) && !firstDropTaken) {
        firstDropTaken = true;
        return;
    }
    dirty = true;
    if (quirk(SimQuirk::optionsWindow) && audio.size() >= 2) {
        after(Delay::optionsWindow, [this, audio] { openOptions(audio); });
        return;
    }
    importFiles(audio, ImportMode::NewTracks);
}

} // namespace Vantrel::SimDetail
