// The session the simulated Logic Pro holds: tracks, stacks, selection, and what its commands do
// to them.

#include "platform/AxNames.h"
#include "platform/sim/SimLogicImpl.h"

#include <algorithm>

namespace Vantrel::SimDetail {

bool isAudioFile(const QFileInfo& file) {
    static const QStringList exts = {
        QStringLiteral("wav"), QStringLiteral("aif"), QStringLiteral("aiff"), QStringLiteral("caf"),
        QStringLiteral("mp3"), QStringLiteral("m4a"), QStringLiteral("flac")};
    return file.isFile() && exts.contains(file.suffix().toLower());
}

void TextEdit::reset(const QString& t, bool all) {
    text = t;
    selStart = all ? 0 : t.size();
    selLength = all ? t.size() : 0;
}

void TextEdit::selectAll() {
    selStart = 0;
    selLength = text.size();
}

void TextEdit::insert(const QString& s) {
    text.replace(selStart, selLength, s);
    selStart += s.size();
    selLength = 0;
}

void TextEdit::backspace() {
    if (selLength > 0) {
        insert({});
    } else if (selStart > 0) {
        text.remove(selStart - 1, 1);
        --selStart;
    }
}

int Impl::capacity() const {
    return static_cast<int>(trackArea().size.height / Geo::rowHeight);
}

int Impl::indexOf(int id) const {
    for (size_t i = 0; i < tracks.size(); ++i)
        if (tracks[i].id == id)
            return static_cast<int>(i);
    return -1;
}

Track* Impl::byId(int id) {
    const int i = indexOf(id);
    return i < 0 ? nullptr : &tracks[static_cast<size_t>(i)];
}

int Impl::blockEnd(int index) const {
    const Track& head = tracks[static_cast<size_t>(index)];
    int end = index + 1;
    if (head.isStack)
        while (end < static_cast<int>(tracks.size()) &&
               tracks[static_cast<size_t>(end)].stack == head.id)
            ++end;
    return end;
}

bool Impl::hidden(const Track& t) const {
    if (t.stack < 0)
        return false;
    const int s = indexOf(t.stack);
    return s >= 0 && tracks[static_cast<size_t>(s)].folded;
}

std::vector<int> Impl::computeVisible() const {
    // Members follow their stack row, so one pass knows whether the current stack is folded.
    std::vector<int> out;
    out.reserve(tracks.size());
    int stack = -1;
    bool folded = false;
    for (size_t i = 0; i < tracks.size(); ++i) {
        const Track& t = tracks[i];
        if (t.isStack) {
            stack = t.id;
            folded = t.folded;
        } else if (t.stack >= 0 && t.stack == stack && folded) {
            continue;
        }
        out.push_back(static_cast<int>(i));
    }
    return out;
}

Track& Impl::insertTrack(int index, Track t) {
    t.id = nextId++;
    t.created = nextCreated++;
    index = std::clamp(index, 0, static_cast<int>(tracks.size()));
    return *tracks.insert(tracks.begin() + index, std::move(t));
}

void Impl::eraseIf(const std::function<bool(const Track&)>& drop) {
    std::erase_if(tracks, [&](const Track& t) {
        if (!drop(t))
            return false;
        selected.erase(t.id);
        if (edit && edit->track == t.id)
            edit.reset();
        return true;
    });
}

QString Impl::description(int index) const {
    const Track& t = tracks[static_cast<size_t>(index)];
    QString d = QStringLiteral("%1 %2 \u201C%3\u201D")
                    .arg(text("Track"), QString::number(index + 1), t.name);
    if (t.mute)
        d += QStringLiteral(", mute");
    return d;
}

void Impl::selectOnly(int id) {
    selected = {id};
    anchor = id;
}

void Impl::clickSelect(int id, std::uint64_t flags) {
    if (flags & EventFlags::command) {
        if (!selected.erase(id))
            selected.insert(id);
        anchor = id;
    } else if ((flags & EventFlags::shift) && indexOf(anchor) >= 0) {
        const auto a = std::find(visible.begin(), visible.end(), indexOf(anchor));
        const auto b = std::find(visible.begin(), visible.end(), indexOf(id));
        if (a == visible.end() || b == visible.end())
            return selectOnly(id);
        selected.clear();
        for (auto it = std::min(a, b); it <= std::max(a, b); ++it)
            selected.insert(tracks[static_cast<size_t>(*it)].id);
    } else {
        selectOnly(id);
    }
}

void Impl::moveSelection(int step) {
    if (visible.empty())
        return;
    int at = -1;
    for (size_t v = 0; v < visible.size(); ++v)
        if (selected.count(tracks[static_cast<size_t>(visible[v])].id))
            at = static_cast<int>(v);
    const int next = std::clamp(at < 0 ? 0 : at + step, 0, static_cast<int>(visible.size()) - 1);
    const int id = tracks[static_cast<size_t>(visible[static_cast<size_t>(next)])].id;
    selectOnly(id);
    scrollTo(id); // the list follows the selection
}

void Impl::scrollBy(int lines) {
    // Positive lines scroll towards the top; sync keeps the list inside its bounds.
    scroll -= lines;
    scroll = std::clamp(scroll, 0, std::max(0, static_cast<int>(computeVisible().size()) - 1));
}

void Impl::scrollTo(int id) {
    const std::vector<int> shown = computeVisible();
    const auto it = std::find_if(shown.begin(), shown.end(),
                                 [&](int i) { return tracks[static_cast<size_t>(i)].id == id; });
    if (it == shown.end())
        return;
    const int current = static_cast<int>(it - shown.begin());
    if (current < scroll)
        scroll = current;
    else if (current >= scroll + capacity())
        scroll = current - capacity() + 1;
}

void Impl::newAudioTrack() {
    // A new track goes below the last selected one, into the same stack.
    int at = static_cast<int>(tracks.size());
    int stack = -1;
    for (int i = static_cast<int>(tracks.size()) - 1; i >= 0; --i) {
        const Track& t = tracks[static_cast<size_t>(i)];
        if (!selected.count(t.id) || hidden(t))
            continue;
        if (t.isStack) {
            at = blockEnd(i);
        } else {
            at = i + 1;
            stack = t.stack;
        }
        break;
    }
    Track t;
    t.name = QStringLiteral("Audio %1").arg(nextAudio++);
    t.stack = stack;
    const int id = insertTrack(at, t).id;
    selectOnly(id);
    scrollTo(id);
}

void Impl::createStack(bool summing) {
    // The selected tracks (stack rows cannot be nested) move under a new stack row placed where
    // the first of them was.
    std::vector<Track> members, rest;
    int insertAt = -1;
    for (const Track& t : tracks) {
        if (!t.isStack && selected.count(t.id)) {
            if (insertAt < 0)
                insertAt = static_cast<int>(rest.size());
            members.push_back(t);
        } else {
            rest.push_back(t);
        }
    }
    if (members.empty())
        return;
    while (insertAt < static_cast<int>(rest.size()) &&
           rest[static_cast<size_t>(insertAt)].stack >= 0)
        ++insertAt;
    Track head;
    head.id = nextId++;
    head.created = nextCreated++;
    head.isStack = true;
    head.summing = summing;
    head.name = (summing ? QStringLiteral("Sum %1") : QStringLiteral("Folder %1")).arg(nextStack++);
    for (Track& m : members)
        m.stack = head.id;
    members.insert(members.begin(), head);
    rest.insert(rest.begin() + insertAt, members.begin(), members.end());
    tracks = std::move(rest);
    selectOnly(head.id);
    scrollTo(head.id);
}

void Impl::flattenSelected() {
    std::set<int> stacks;
    for (const Track& t : tracks)
        if (t.isStack && selected.count(t.id))
            stacks.insert(t.id);
    for (Track& t : tracks)
        if (stacks.count(t.stack))
            t.stack = -1;
    eraseIf([&](const Track& t) { return stacks.count(t.id) > 0; });
}

void Impl::deleteSelected() {
    const std::set<int> gone = selected;
    eraseIf([&](const Track& t) { return gone.count(t.id) || gone.count(t.stack); });
}

void Impl::deleteUnused() {
    eraseIf([](const Track& t) { return !t.isStack && !t.hasAudio; });
    std::set<int> used;
    for (const Track& t : tracks)
        if (t.stack >= 0)
            used.insert(t.stack);
    eraseIf([&](const Track& t) { return t.isStack && !used.count(t.id); });
}

void Impl::sortTracks(Cmd by) {
    // Stacks move with their members; members are sorted inside their stack.
    std::function<bool(const Track&, const Track&)> less;
    if (by == Cmd::SortByName)
        less = [](const Track& a, const Track& b) {
            return QString::compare(a.name, b.name, Qt::CaseInsensitive) < 0;
        };
    else if (by == Cmd::SortByDate)
        less = [](const Track& a, const Track& b) { return a.created < b.created; };
    else
        return; // the other keys are the same for every audio track
    struct Block {
        Track head;
        std::vector<Track> members;
    };
    std::vector<Block> blocks;
    for (const Track& t : tracks) {
        if (t.stack >= 0 && !blocks.empty() && blocks.back().head.id == t.stack)
            blocks.back().members.push_back(t);
        else
            blocks.push_back({t, {}});
    }
    std::stable_sort(blocks.begin(), blocks.end(),
                     [&](const Block& a, const Block& b) { return less(a.head, b.head); });
    tracks.clear();
    for (Block& b : blocks) {
        std::stable_sort(b.members.begin(), b.members.end(), less);
        tracks.push_back(b.head);
        tracks.insert(tracks.end(), b.members.begin(), b.members.end());
    }
}

void Impl::toggleFold(int id, bool all) {
    Track* s = byId(id);
    if (!s || !s->isStack)
        return;
    const bool fold = !s->folded;
    for (Track& t : tracks)
        if (t.isStack && (all || t.id == id))
            t.folded = fold;
}

void Impl::moveTrack(int id, int beforeId, int prevId) {
    // Moves a track (a stack with its members) to just above beforeId (-1: the end). A track
    // dropped between two rows of an open stack joins it; a stack never lands inside another.
    const int from = indexOf(id);
    if (from < 0)
        return;
    const int end = blockEnd(from);
    std::vector<Track> block(tracks.begin() + from, tracks.begin() + end);
    for (const Track& t : block)
        if (t.id == beforeId || t.id == prevId)
            return; // dropped onto itself
    int join = -1;
    if (!block.front().isStack) {
        const Track* prev = prevId >= 0 ? byId(prevId) : nullptr;
        const Track* next = beforeId >= 0 ? byId(beforeId) : nullptr;
        if (prev && next) {
            const int s = prev->isStack ? prev->id : prev->stack;
            const Track* stack = byId(s);
            if (stack && !stack->folded && next->stack == s)
                join = s;
        }
        if (prev && prev->isStack && !prev->folded && join < 0 &&
            (!next || next->stack != prev->id))
            join = prev->id; // right below an open, empty stack row
    }
    tracks.erase(tracks.begin() + from, tracks.begin() + end);
    int target = beforeId >= 0 ? indexOf(beforeId) : static_cast<int>(tracks.size());
    if (target < 0)
        target = static_cast<int>(tracks.size());
    if (block.front().isStack)
        while (target < static_cast<int>(tracks.size()) &&
               tracks[static_cast<size_t>(target)].stack >= 0)
            ++target;
    else
        block.front().stack = join;
    tracks.insert(tracks.begin() + target, block.begin(), block.end());
}

void Impl::colorSelected(std::pair<int, int> cell) {
    for (Track& t : tracks)
        if (selected.count(t.id))
            t.color = cell;
}

void Impl::beginEdit(int id, bool selectAll) {
    const Track* t = byId(id);
    if (!t)
        return;
    edit = NameEdit{id, {}};
    edit->field.reset(t->name, selectAll);
}

void Impl::commitEdit() {
    if (!edit)
        return;
    const NameEdit done = *edit;
    edit.reset();
    if (done.field.text.isEmpty())
        return;
    after(Delay::renameCommit, [this, done] {
        if (Track* t = byId(done.track))
            t->name = done.field.text;
    });
}

void Impl::importFiles(const QStringList& files, ImportMode mode) {
    QStringList order = files;
    if (quirk(SimQuirk::tracksArriveShuffled))
        std::shuffle(order.begin(), order.end(), rng);
    // Tracks that take a file instead of a new track being made for it.
    std::vector<int> targets;
    int first = -1;
    for (size_t i = 0; i < tracks.size() && first < 0; ++i)
        if (selected.count(tracks[i].id) && !hidden(tracks[i]))
            first = static_cast<int>(i);
    if (mode == ImportMode::OntoSelection && first >= 0 &&
        !tracks[static_cast<size_t>(first)].isStack)
        targets.push_back(tracks[static_cast<size_t>(first)].id);
    if (mode == ImportMode::ExistingTracks)
        for (size_t i = static_cast<size_t>(std::max(first, 0)); i < tracks.size(); ++i)
            if (!tracks[i].isStack && !tracks[i].hasAudio)
                targets.push_back(tracks[i].id);
    Duration at = Delay::firstTrack;
    for (qsizetype k = 0; k < order.size(); ++k) {
        const int target =
            k < static_cast<qsizetype>(targets.size()) ? targets[static_cast<size_t>(k)] : -1;
        const QString file = order[k];
        const QString name = QFileInfo(file).completeBaseName();
        const bool last = k + 1 == order.size();
        after(at, [this, file, name, target, k, last] {
            Track* t = byId(target);
            int id = -1;
            if (t && !t->isStack) {
                t->hasAudio = true;
                t->file = file;
                id = t->id;
            } else {
                Track n;
                n.name = name;
                n.hasAudio = true;
                n.file = file;
                id = insertTrack(static_cast<int>(tracks.size()), n).id;
            }
            if (k == 0)
                selected.clear();
            selected.insert(id);
            anchor = id;
            scrollTo(id);
            if (last && quirk(SimQuirk::busyAfterImport))
                // Analysing the new audio keeps Logic busy.
                importBusyUntil =
                    *applying + std::chrono::duration_cast<Duration>(std::chrono::duration<double>(
                                    number(SimQuirk::busyAfterImport, 10)));
        });
        at += Delay::nextTrack;
    }
    if (quirk(SimQuirk::tempoAlert) && !order.isEmpty()) {
        // The question comes "a few seconds" after the import: a fixed or a seeded delay.
        Duration delay = Delay::tempoAlert;
        const QString& v = values[std::size_t(SimQuirk::tempoAlert)];
        if (v == QLatin1String("random"))
            delay = std::chrono::duration_cast<Duration>(
                std::chrono::duration<double>(1.0 + 5.0 * draw()));
        else if (!v.isEmpty())
            delay = std::chrono::duration_cast<Duration>(
                std::chrono::duration<double>(number(SimQuirk::tempoAlert, 1.5)));
        after(at - Delay::nextTrack + delay, [this] { openAlert(); });
    }
}

SimSession Impl::session() const {
    SimSession s;
    for (const Track& t : tracks) {
        SimTrack st;
        st.name = t.name;
        st.isStack = t.isStack;
        if (t.stack >= 0)
            if (const int i = indexOf(t.stack); i >= 0)
                st.stack = tracks[static_cast<size_t>(i)].name;
        st.color = t.color;
        st.folded = t.isStack && t.folded;
        st.hasAudio = t.hasAudio;
        st.summing = t.isStack && t.summing;
        st.file = t.file;
        st.mute = t.mute;
        st.solo = t.solo;
        st.record = t.record;
        s.tracks.append(st);
    }
    for (const auto& w : zOrder)
        s.windows.append(w->text(Ax::Attr::title));
    for (int i = 0; i < static_cast<int>(tracks.size()); ++i)
        if (selected.count(tracks[static_cast<size_t>(i)].id))
            s.selection.append(i);
    if (sheet)
        s.stackSheet = sheet->summingChosen;
    s.colorWindow = colorWin != nullptr;
    s.tempoImported = tempoImported;
    if (alertWin)
        s.alert = alertMessage;
    if (edit)
        if (const int i = indexOf(edit->track); i >= 0)
            s.nameEdit = std::make_pair(i, edit->field.text);
    return s;
}

} // namespace Vantrel::SimDetail
