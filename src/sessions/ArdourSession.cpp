#include "sessions/ArdourSession.h"

#include "core/AudioFacts.h"
#include "core/Errors.h"
#include "core/FileOps.h"
#include "sessions/Destination.h"

#include <QCoreApplication>
#include <QDateTime>
#include <QDir>
#include <QDomDocument>
#include <QFile>
#include <QFileInfo>
#include <QHash>
#include <QProcess>
#include <QSet>
#include <QTemporaryDir>

#include <algorithm>
#include <cerrno>
#include <csignal>
#include <cstdint>
#include <fcntl.h>
#include <poll.h>
#include <spawn.h>
#include <sys/wait.h>
#include <unistd.h>
#include <vector>

namespace Vantrel::Sessions {

namespace {

const SessionKind what = SessionKind::ardourSession;

// The sentence for a failure to start the session tool: the program as %1, the reason as %2.
QString startSentence() {
    return QCoreApplication::translate("Vantrel::SessionExport", "Couldn't start “%1”: %2.");
}

// Ardour's timeline counts audio time in superclock ticks: this many per second.
constexpr std::int64_t superclockRate = 282240000;

// A length of frames at rate in Ardour's audio time, rounded as Ardour rounds it.
std::int64_t superclock(std::int64_t frames, int rate) {
    const __int128 ticks = __int128(frames) * superclockRate;
    return std::int64_t((ticks + rate / 2) / rate);
}

QString audioTime(std::int64_t ticks) {
    return QStringLiteral("a%1").arg(ticks);
}

// The folders of PATH, in order.
QStringList pathFolders() {
    QStringList folders;
    for (const QString& f :
         QString::fromLocal8Bit(qgetenv("PATH")).split(QLatin1Char(':'), Qt::SkipEmptyParts))
        folders << f;
    // Ardour's own installer puts each version in a bundle of its own.
    const QDir opt(QStringLiteral("/opt"));
    QStringList bundles =
        opt.entryList({QStringLiteral("Ardour-*")}, QDir::Dirs | QDir::NoDotAndDotDot);
    std::sort(bundles.begin(), bundles.end(), [](const QString& a, const QString& b) {
        return QString::compare(a, b, Qt::CaseInsensitive) > 0;
    });
    for (const QString& b : std::as_const(bundles))
        folders << opt.filePath(b) + QStringLiteral("/bin");
    return folders;
}

std::optional<QString> executableIn(const QString& folder, const QString& name) {
    const QFileInfo info(folder + QLatin1Char('/') + name);
    if (info.isFile() && info.isExecutable())
        return info.absoluteFilePath();
    return std::nullopt;
}

// What one run of the session tool reported: its records in order, each a word and its fields,
// and its own output for a failure's sentence. The scripts write the records into a file of
// their own rather than to the standard output, where the tool's threads print too and a line
// can be cut into by another.
struct ToolOutput {
    QList<std::pair<QString, QStringList>> records;
    QString errors;

    std::optional<QStringList> first(const QString& word) const {
        for (const auto& [w, fields] : records)
            if (w == word)
                return fields;
        return std::nullopt;
    }
};

// The start of every script: tell(word, ...) writes one record into the report, a line of the
// word and its fields as hexadecimal UTF-8, so that no name can break a record.
QString scriptPrologue(const QString& reportPath) {
    // Joined, not filled in with arg(): the Lua text holds a "%02x" of its own.
    return QStringLiteral("local report = assert(io.open(") + luaString(reportPath) +
           QStringLiteral(", \"w\"))\n"
                          "local function hex(value)\n"
                          "  return (tostring(value):gsub(\".\", function(c)\n"
                          "    return string.format(\"%02x\", c:byte()) end))\n"
                          "end\n"
                          "local function tell(word, ...)\n"
                          "  local fields = {word}\n"
                          "  for _, v in ipairs({...}) do fields[#fields + 1] = hex(v) end\n"
                          "  report:write(table.concat(fields, \" \"), \"\\n\")\n"
                          "  report:flush()\n"
                          "end\n");
}

// The last few lines of the tool's own output that say something, for a sentence.
QString lastWords(const QString& text) {
    QStringList kept;
    const QStringList lines = text.split(QLatin1Char('\n'), Qt::SkipEmptyParts);
    for (const QString& line : lines) {
        const QString l = line.trimmed();
        if (l.isEmpty() || l.startsWith(QLatin1String("[WARNING]")) ||
            l.contains(QLatin1String("Butler drops")) ||
            l.contains(QLatin1String("direct dispatch of call slot")))
            continue;
        kept << l;
    }
    return kept.mid(std::max<qsizetype>(0, kept.size() - 3)).join(QLatin1Char(' '));
}

// What a program printed, and how it ended.
struct Finished {
    QByteArray out;
    QByteArray err;
    bool exited = false;
    int status = 0;
};

// Runs program with args in folder, in a process group of its own, its output read as it comes;
// kills the group and throws CancelledError as soon as cancelled() says so. Plain POSIX calls
// rather than QProcess: the export runs on a worker thread that has no Qt event loop.
Finished runProgram(const QString& program, const QStringList& args, const QString& folder,
                    const ExportCancelled& cancelled) {
    int out[2];
    int err[2];
    if (::pipe2(out, O_CLOEXEC) != 0)
        throw FileError::fromErrno(startSentence(), program, errno);
    if (::pipe2(err, O_CLOEXEC) != 0) {
        const int error = errno;
        ::close(out[0]);
        ::close(out[1]);
        throw FileError::fromErrno(startSentence(), program, error);
    }
    posix_spawn_file_actions_t actions;
    posix_spawn_file_actions_init(&actions);
    posix_spawn_file_actions_addopen(&actions, 0, "/dev/null", O_RDONLY, 0);
    const QByteArray folderBytes = folder.toUtf8();
    posix_spawn_file_actions_addchdir_np(&actions, folderBytes.constData());
    posix_spawn_file_actions_adddup2(&actions, out[1], 1);
    posix_spawn_file_actions_adddup2(&actions, err[1], 2);
    posix_spawnattr_t attributes;
    posix_spawnattr_init(&attributes);
    posix_spawnattr_setflags(&attributes, POSIX_SPAWN_SETPGROUP);
    posix_spawnattr_setpgroup(&attributes, 0);
    QList<QByteArray> argBytes{program.toLocal8Bit()};
    for (const QString& a : args)
        argBytes << a.toUtf8();
    std::vector<char*> argv;
    for (QByteArray& a : argBytes)
        argv.push_back(a.data());
    argv.push_back(nullptr);
    pid_t pid = 0;
    const int spawned = ::posix_spawn(&pid, argBytes.first().constData(), &actions, &attributes,
                                      argv.data(), environ);
    posix_spawn_file_actions_destroy(&actions);
    posix_spawnattr_destroy(&attributes);
    ::close(out[1]);
    ::close(err[1]);
    if (spawned != 0) {
        ::close(out[0]);
        ::close(err[0]);
        throw FileError::fromErrno(startSentence(), program, spawned);
    }

    Finished finished;
    // Our ends do not block, so that output still held open by a process the program left behind
    // cannot keep us waiting once the program itself has ended.
    for (const int fd : {out[0], err[0]})
        ::fcntl(fd, F_SETFL, ::fcntl(fd, F_GETFL) | O_NONBLOCK);
    pollfd fds[2] = {{out[0], POLLIN, 0}, {err[0], POLLIN, 0}};
    QByteArray* sinks[2] = {&finished.out, &finished.err};
    const auto drain = [&] {
        for (int i = 0; i < 2; ++i) {
            while (fds[i].fd >= 0) {
                char buffer[8192];
                const ssize_t n = ::read(fds[i].fd, buffer, sizeof buffer);
                if (n > 0) {
                    sinks[i]->append(buffer, n);
                    continue;
                }
                if (n < 0 && errno == EINTR)
                    continue;
                if (n == 0 || errno != EAGAIN) {
                    ::close(fds[i].fd);
                    fds[i].fd = -1;
                }
                break;
            }
        }
    };
    int status = 0;
    bool ended = false;
    bool stopped = false;
    while (!ended) {
        if (cancelled && cancelled()) {
            ::kill(-pid, SIGKILL);
            stopped = true;
            break;
        }
        if (fds[0].fd >= 0 || fds[1].fd >= 0)
            ::poll(fds, 2, 100);
        drain();
        const pid_t done = ::waitpid(pid, &status, fds[0].fd < 0 && fds[1].fd < 0 ? 0 : WNOHANG);
        ended = done == pid || (done < 0 && errno != EINTR);
    }
    drain();
    for (const pollfd& f : fds)
        if (f.fd >= 0)
            ::close(f.fd);
    if (stopped) {
        while (::waitpid(pid, &status, 0) < 0 && errno == EINTR) {
        }
        throw CancelledError();
    }
    finished.exited = WIFEXITED(status);
    finished.status = finished.exited ? WEXITSTATUS(status) : 0;
    return finished;
}

// Runs the tool on a script (which starts with scriptPrologue); stops it at once when
// cancelled() says so.
ToolOutput runTool(const ArdourTool& tool, const QString& script, const QString& workFolder,
                   const ExportCancelled& cancelled) {
    const QString scriptPath = workFolder + QStringLiteral("/vantrel.lua");
    const QString reportPath = workFolder + QStringLiteral("/vantrel-report.txt");
    QFile::remove(reportPath);
    {
        QFile file(scriptPath);
        if (!file.open(QIODevice::WriteOnly | QIODevice::Truncate) ||
            file.write((scriptPrologue(reportPath) + script).toUtf8()) < 0 || !file.flush())
            throw Error(QCoreApplication::translate(
                            "Vantrel::SessionExport",
                            "Couldn't write the script for Ardour's session tool in "
                            "“%1”: %2.")
                            .arg(workFolder, file.errorString()));
    }
    // The tool runs in the working folder, so that whatever it leaves there goes with it.
    const Finished finished = runProgram(tool.lua, {scriptPath}, workFolder, cancelled);
    ToolOutput output;
    QFile report(reportPath);
    if (report.open(QIODevice::ReadOnly)) {
        for (const QByteArray& line : report.readAll().split('\n')) {
            if (line.isEmpty())
                continue;
            const QList<QByteArray> parts = line.split(' ');
            QStringList fields;
            for (qsizetype i = 1; i < parts.size(); ++i)
                fields << QString::fromUtf8(QByteArray::fromHex(parts[i]));
            output.records << std::pair(QString::fromUtf8(parts.first()), fields);
        }
    }
    output.errors = lastWords(QString::fromUtf8(finished.err) + QLatin1Char('\n') +
                              QString::fromUtf8(finished.out));
    if (!finished.exited)
        output.errors = QCoreApplication::translate("Vantrel::SessionExport",
                                                    "the tool stopped unexpectedly (%1)")
                            .arg(output.errors);
    return output;
}

// The sentence for a run of the tool that did not end as it should: sentence takes the reason
// as %1.
Error toolFailed(const QString& sentence, const ToolOutput& output) {
    // The script's own reason, then what the tool printed (why it could not start its engine,
    // for example).
    QStringList reasons;
    reasons << output.first(QStringLiteral("error")).value_or(QStringList()).value(0)
            << output.errors;
    reasons.removeAll(QString());
    QString reason = reasons.join(QStringLiteral("; "));
    if (reason.isEmpty())
        reason = QCoreApplication::translate("Vantrel::SessionExport", "it gave no reason");
    return Error(sentence.arg(reason));
}

// The names of the tracks, in plan order, unique as Ardour needs them: a name an earlier track
// took gets _02, _03, … like a file whose name is taken.
QStringList uniqueNames(const SessionPlan& plan) {
    QStringList names;
    QSet<QString> taken;
    for (const PlannedGroup& g : plan.groups)
        for (const PlannedTrack& t : g.tracks) {
            QString name = t.name;
            for (int n = 2; taken.contains(name); ++n)
                name = t.name + QStringLiteral("_%1").arg(n, 2, 10, QLatin1Char('0'));
            taken.insert(name);
            names << name;
        }
    return names;
}

// Ardour's colours carry opacity in the last byte.
QString rgba(std::uint32_t rgb) {
    return QStringLiteral("0x%1FF").arg(rgb & 0xFFFFFF, 6, 16, QLatin1Char('0'));
}

// The script that creates the session with its groups and tracks and saves it.
QString createScript(const SessionPlan& plan, const QString& folder, const QString& name,
                     const QStringList& trackNames) {
    QString s;
    s += QStringLiteral(
        "local function add(group, color, channels, names)\n"
        "  local outputs = channels > 2 and channels or 2\n"
        "  local list = Session:new_audio_track(channels, outputs, group, #names,\n"
        "    \"vantrel-new-track\", ARDOUR.PresentationInfo.max_order,\n"
        "    ARDOUR.TrackMode.Normal, false, false)\n"
        "  if list:size() ~= #names then\n"
        "    error(\"it made \" .. list:size() .. \" of \" .. #names .. \" tracks\", "
        "0)\n"
        "  end\n"
        "  local i = 0\n"
        "  for t in list:iter() do\n"
        "    i = i + 1\n"
        "    t:set_name(names[i])\n"
        "    if color then t:presentation_info_ptr():set_color(color) end\n"
        "    tell(\"track\", t:to_stateful():id():to_s(), t:name())\n"
        "  end\n"
        "end\n"
        "local function run()\n");
    s += QStringLiteral("  local session = create_session(%1, %2, %3)\n")
             .arg(luaString(folder), luaString(name))
             .arg(plan.sampleRate);
    s +=
        QStringLiteral("  if not session then error(\"it could not create the session\", 0) end\n");
    qsizetype index = 0;
    for (const PlannedGroup& group : plan.groups) {
        if (group.tracks.isEmpty())
            continue;
        const QString color = group.color ? rgba(*group.color) : QStringLiteral("nil");
        s += QStringLiteral("  do\n");
        if (group.name) {
            s += QStringLiteral("    local group = Session:new_route_group(%1)\n")
                     .arg(luaString(*group.name));
            if (group.color)
                s += QStringLiteral("    group:set_rgba(%1)\n").arg(color);
        } else {
            s += QStringLiteral("    local group = nil\n");
        }
        // Consecutive tracks of one channel count are made at once: Ardour makes a batch far
        // faster than the same tracks one by one.
        for (qsizetype i = 0; i < group.tracks.size();) {
            qsizetype j = i;
            QStringList names;
            while (j < group.tracks.size() &&
                   group.tracks[j].audio.channels == group.tracks[i].audio.channels)
                names << luaString(trackNames[index + j++]);
            s += QStringLiteral("    add(group, %1, %2, {%3})\n")
                     .arg(color)
                     .arg(group.tracks[i].audio.channels)
                     .arg(names.join(QStringLiteral(", ")));
            i = j;
        }
        index += group.tracks.size();
        s += QStringLiteral("  end\n");
    }
    s += QStringLiteral("  Session:save_state(\"\", false, false, false, false, false)\n"
                        "end\n"
                        "local ok, err = pcall(run)\n"
                        "if ok then tell(\"created\") else tell(\"error\", err) end\n"
                        "report:close()\n"
                        "close_session()\n");
    return s;
}

// One region to lay on a track: the track's route id and the whole-file region's id.
struct Placement {
    QString route;
    QString region;
};

// The script that loads the session, lays every region at its start, reports each region's
// sources and saves.
QString placeScript(const QString& folder, const QString& name,
                    const QList<Placement>& placements) {
    QString s;
    s += QStringLiteral(
        "local function place(route_id, region_id)\n"
        "  local route = Session:route_by_id(PBD.ID(route_id))\n"
        "  if route:isnil() then error(\"it lost the track \" .. route_id, 0) end\n"
        "  local whole = ARDOUR.RegionFactory.region_by_id(PBD.ID(region_id))\n"
        "  if whole:isnil() then error(\"it did not take the audio of track \" .. "
        "route:name(), 0) end\n"
        "  local region = ARDOUR.RegionFactory.clone_region(whole, true, false)\n"
        "  route:to_track():playlist():add_region(region, Temporal.timepos_t(0), 1, false)\n"
        "  local audio = region:to_audioregion()\n"
        "  for c = 0, audio:n_channels() - 1 do\n"
        "    local file = audio:source(c):to_filesource()\n"
        "    local path = file:isnil() and \"\" or file:path()\n"
        "    tell(\"source\", region_id, c, path)\n"
        "  end\n"
        "end\n"
        "local function run()\n");
    s += QStringLiteral("  local session = load_session(%1, %2)\n")
             .arg(luaString(folder), luaString(name));
    s += QStringLiteral("  if not session then error(\"it could not open the session it made\", 0) "
                        "end\n");
    for (const Placement& p : placements)
        s += QStringLiteral("  place(\"%1\", \"%2\")\n").arg(p.route, p.region);
    s += QStringLiteral("  Session:save_state(\"\", false, false, false, false, false)\n"
                        "end\n"
                        "local ok, err = pcall(run)\n"
                        "if ok then tell(\"placed\") else tell(\"error\", err) end\n"
                        "report:close()\n"
                        "close_session()\n");
    return s;
}

QDomElement child(QDomDocument& doc, QDomElement& parent, const QString& tag) {
    QDomElement e = doc.createElement(tag);
    parent.appendChild(e);
    return e;
}

// Writes the audio into the session file the tool saved: for each track with samples a source
// per channel referencing the file where it lies and a whole-file region over them, and the
// session range over the longest file. Returns each track's whole-file region id (empty for a
// track without samples), in plan order.
QStringList addAudio(const QString& sessionFile, const SessionPlan& plan,
                     const QStringList& trackNames) {
    QFile file(sessionFile);
    if (!file.open(QIODevice::ReadOnly))
        throw Error(QCoreApplication::translate(
                        "Vantrel::SessionExport",
                        "Couldn't read the session file “%1” that Ardour wrote: %2.")
                        .arg(sessionFile, file.errorString()));
    QDomDocument doc;
    const bool parsed = doc.setContent(file.readAll());
    file.close();
    QDomElement session = doc.documentElement();
    QDomElement sources = session.firstChildElement(QStringLiteral("Sources"));
    QDomElement regions = session.firstChildElement(QStringLiteral("Regions"));
    QDomElement locations = session.firstChildElement(QStringLiteral("Locations"));
    bool counted = false;
    std::int64_t nextId = session.attribute(QStringLiteral("id-counter")).toLongLong(&counted);
    if (!parsed || session.tagName() != QLatin1String("Session") || sources.isNull() ||
        regions.isNull() || locations.isNull() || !counted)
        throw Error(
            QCoreApplication::translate("Vantrel::SessionExport",
                                        "The session file “%1” that Ardour wrote is not in a form "
                                        "this version of Vantrel knows.")
                .arg(sessionFile));

    const QString timestamp = QString::number(QDateTime::currentSecsSinceEpoch());
    QStringList regionIds;
    std::int64_t longest = 0;
    qsizetype index = 0;
    for (const PlannedGroup& group : plan.groups) {
        for (const PlannedTrack& track : group.tracks) {
            const QString& name = trackNames[index++];
            if (track.audio.frames <= 0) {
                regionIds << QString();
                continue;
            }
            const std::int64_t length = superclock(track.audio.frames, plan.sampleRate);
            longest = std::max(longest, length);
            QDomElement region = child(doc, regions, QStringLiteral("Region"));
            const QList<std::pair<const char*, QString>> properties{
                {"name", name},
                {"muted", QStringLiteral("0")},
                {"opaque", QStringLiteral("1")},
                {"locked", QStringLiteral("0")},
                {"video-locked", QStringLiteral("0")},
                {"automatic", QStringLiteral("0")},
                {"whole-file", QStringLiteral("1")},
                {"import", QStringLiteral("1")},
                {"external", QStringLiteral("1")},
                {"sync-marked", QStringLiteral("0")},
                {"left-of-split", QStringLiteral("0")},
                {"right-of-split", QStringLiteral("0")},
                {"hidden", QStringLiteral("0")},
                {"position-locked", QStringLiteral("0")},
                {"valid-transients", QStringLiteral("0")},
                {"start", audioTime(0)},
                {"length", audioTime(length) + QLatin1Char('@') + audioTime(0)},
                {"sync-position", audioTime(0)},
                {"ancestral-start", audioTime(0)},
                {"ancestral-length", audioTime(0) + QLatin1Char('@') + audioTime(0)},
                {"stretch", QStringLiteral("1")},
                {"shift", QStringLiteral("1")},
                {"layering-index", QStringLiteral("0")},
                {"tags", QString()},
                {"contents", QStringLiteral("0")},
                {"envelope-active", QStringLiteral("0")},
                {"default-fade-in", QStringLiteral("0")},
                {"default-fade-out", QStringLiteral("0")},
                {"fade-in-active", QStringLiteral("1")},
                {"fade-out-active", QStringLiteral("1")},
                {"scale-amplitude", QStringLiteral("1")},
                {"type", QStringLiteral("audio")},
                {"first-edit", QStringLiteral("nothing")},
            };
            for (const auto& [key, value] : properties)
                region.setAttribute(QLatin1String(key), value);
            const QString fileName = QFileInfo(track.file).fileName();
            for (int c = 0; c < track.audio.channels; ++c) {
                const QString id = QString::number(nextId++);
                QDomElement source = child(doc, sources, QStringLiteral("Source"));
                // An absolute origin is a file outside the session, read where it lies.
                source.setAttribute(QStringLiteral("name"), fileName);
                source.setAttribute(QStringLiteral("take-id"), QString());
                source.setAttribute(QStringLiteral("type"), QStringLiteral("audio"));
                source.setAttribute(QStringLiteral("flags"), QString());
                source.setAttribute(QStringLiteral("id"), id);
                source.setAttribute(QStringLiteral("natural-position"), audioTime(0));
                source.setAttribute(QStringLiteral("channel"), QString::number(c));
                source.setAttribute(QStringLiteral("origin"), track.file);
                source.setAttribute(QStringLiteral("gain"), QStringLiteral("1"));
                region.setAttribute(QStringLiteral("source-%1").arg(c), id);
                region.setAttribute(QStringLiteral("master-source-%1").arg(c), id);
            }
            region.setAttribute(QStringLiteral("channels"), QString::number(track.audio.channels));
            const QString id = QString::number(nextId++);
            region.setAttribute(QStringLiteral("id"), id);
            regionIds << id;
        }
    }
    if (longest > 0) {
        QDomElement range = child(doc, locations, QStringLiteral("Location"));
        range.setAttribute(QStringLiteral("id"), QString::number(nextId++));
        range.setAttribute(QStringLiteral("name"), QStringLiteral("session"));
        range.setAttribute(QStringLiteral("start"), audioTime(0));
        range.setAttribute(QStringLiteral("end"), audioTime(longest));
        range.setAttribute(QStringLiteral("flags"), QStringLiteral("IsSessionRange"));
        range.setAttribute(QStringLiteral("locked"), QStringLiteral("0"));
        range.setAttribute(QStringLiteral("timestamp"), timestamp);
        range.setAttribute(QStringLiteral("cue"), QStringLiteral("0"));
    }
    session.setAttribute(QStringLiteral("id-counter"), QString::number(nextId));
    systemFileOps().writeAtomically(sessionFile, doc.toByteArray(2), false);
    return regionIds;
}

// Up to three names in quotes, and an ellipsis for more.
QString named(const QStringList& names) {
    QStringList quoted;
    for (const QString& n : names.mid(0, 3))
        quoted << QStringLiteral("“%1”").arg(n);
    if (names.size() > 3)
        quoted << QStringLiteral("…");
    return quoted.join(QStringLiteral(", "));
}

void report(const ExportProgress& progress, double fraction, const QString& status) {
    if (progress)
        progress(fraction, status);
}

} // namespace

QString luaString(const QString& text) {
    QString out = QStringLiteral("\"");
    for (const char c : text.toUtf8()) {
        const auto byte = static_cast<unsigned char>(c);
        if ((byte >= 'a' && byte <= 'z') || (byte >= 'A' && byte <= 'Z') ||
            (byte >= '0' && byte <= '9') || byte == ' ' || byte == '_' || byte == '-' ||
            byte == '.' || byte == '/')
            out += QLatin1Char(c);
        else
            out += QStringLiteral("\\%1").arg(int(byte), 3, 10, QLatin1Char('0'));
    }
    return out + QLatin1Char('"');
}

std::optional<ArdourTool> findArdour(const QStringList& folders) {
    for (int version = 9; version >= 7; --version) {
        const QString lua = QStringLiteral("ardour%1-lua").arg(version);
        for (const QString& folder : folders) {
            const std::optional<QString> found = executableIn(folder, lua);
            if (!found)
                continue;
            ArdourTool tool;
            tool.lua = *found;
            tool.version = version;
            for (const QString& gui :
                 {QStringLiteral("ardour%1").arg(version), QStringLiteral("ardour")}) {
                for (const QString& f : folders) {
                    tool.gui = executableIn(f, gui);
                    if (tool.gui)
                        break;
                }
                if (tool.gui)
                    break;
            }
            return tool;
        }
    }
    return std::nullopt;
}

std::optional<ArdourTool> findArdour() {
    return findArdour(pathFolders());
}

QString ardourMissing() {
    return QCoreApplication::translate(
        "Vantrel::SessionExport", "Ardour is not installed: its session tool (ardour8-lua or "
                                  "ardour7-lua) was not found. Install Ardour 7 or later, then try "
                                  "again.");
}

QString defaultArdourFolder(const SessionPlan& plan) {
    QString name = plan.title + QStringLiteral(" Ardour");
    for (QChar& c : name)
        if (c == QLatin1Char('/') || c == QLatin1Char('\\') || c == QLatin1Char(':') ||
            c == QLatin1Char(';') || c.category() == QChar::Other_Control)
            c = QLatin1Char('_');
    return QFileInfo(plan.resultFolder).absolutePath() + QLatin1Char('/') + name;
}

ArdourSession buildArdourSession(const SessionPlan& plan, const QString& folder,
                                 const ArdourTool& tool, const ExportProgress& progress,
                                 const ExportCancelled& cancelled) {
    const QString target = QDir::cleanPath(QFileInfo(folder).absoluteFilePath());
    const QString name = QFileInfo(target).fileName();
    for (const char c : {'/', '\\', ':', ';'})
        if (name.contains(QLatin1Char(c)))
            throw Error(
                QCoreApplication::translate("Vantrel::SessionExport",
                                            "An Ardour session's name cannot hold “%1”; choose "
                                            "another name than “%2”.")
                    .arg(QLatin1Char(c))
                    .arg(name));
    checkDestination(target, what);
    const auto stopIfCancelled = [&cancelled] {
        if (cancelled && cancelled())
            throw CancelledError();
    };

    // Everything is made in a hidden folder beside the target, removed with whatever is in it
    // unless the session was moved out of it whole.
    QTemporaryDir work(QFileInfo(target).absolutePath() + QStringLiteral("/.") + name +
                       QStringLiteral(".vantrel-XXXXXX"));
    if (!work.isValid())
        throw Error(QCoreApplication::translate("Vantrel::SessionExport",
                                                "Couldn't make a working folder beside “%1”: %2.")
                        .arg(target, work.errorString()));
    const QString building = work.path() + QLatin1Char('/') + name;
    const QStringList names = uniqueNames(plan);

    report(progress, 0.05,
           QCoreApplication::translate("Vantrel::SessionExport", "Making %n tracks in Ardour…",
                                       nullptr, int(plan.trackCount())));
    const ToolOutput created =
        runTool(tool, createScript(plan, building, name, names), work.path(), cancelled);
    if (!created.first(QStringLiteral("created")))
        throw toolFailed(
            QCoreApplication::translate("Vantrel::SessionExport",
                                        "Ardour's session tool could not create the session: %1."),
            created);
    QList<std::pair<QString, QString>> routes; // route id, name as Ardour gave it
    for (const auto& [word, fields] : created.records)
        if (word == QLatin1String("track") && fields.size() == 2)
            routes << std::pair(fields[0], fields[1]);
    if (routes.size() != names.size())
        throw Error(QCoreApplication::translate("Vantrel::SessionExport",
                                                "Ardour's session tool made %1 of the %n tracks.",
                                                nullptr, int(names.size()))
                        .arg(routes.size()));
    stopIfCancelled();

    report(progress, 0.45,
           QCoreApplication::translate("Vantrel::SessionExport", "Adding the audio…"));
    const QString sessionFile = building + QLatin1Char('/') + name + QStringLiteral(".ardour");
    const QStringList regionIds = addAudio(sessionFile, plan, names);
    QList<Placement> placements;
    QHash<QString, qsizetype> trackOfRegion;
    for (qsizetype i = 0; i < regionIds.size(); ++i)
        if (!regionIds[i].isEmpty()) {
            placements << Placement{routes[i].first, regionIds[i]};
            trackOfRegion.insert(regionIds[i], i);
        }
    stopIfCancelled();

    report(progress, 0.5,
           QCoreApplication::translate("Vantrel::SessionExport", "Placing the audio in Ardour…"));
    const ToolOutput placed =
        runTool(tool, placeScript(building, name, placements), work.path(), cancelled);
    if (!placed.first(QStringLiteral("placed")))
        throw toolFailed(
            QCoreApplication::translate("Vantrel::SessionExport",
                                        "Ardour's session tool could not place the audio: %1."),
            placed);
    // Every channel of every region must play from its file: a source Ardour could not find
    // would open with its missing-file dialog.
    QList<const PlannedTrack*> planned;
    for (const PlannedGroup& g : plan.groups)
        for (const PlannedTrack& t : g.tracks)
            planned << &t;
    QStringList missing;
    qsizetype reported = 0;
    for (const auto& [word, fields] : placed.records) {
        if (word != QLatin1String("source") || fields.size() != 3)
            continue;
        ++reported;
        const QString& region = fields[0];
        const QString& path = fields[2];
        const PlannedTrack* track = planned.value(trackOfRegion.value(region, -1), nullptr);
        if (!track || path != track->file)
            missing << (track ? track->relativePath : path);
    }
    qsizetype channels = 0;
    for (const PlannedTrack* t : std::as_const(planned))
        channels += t->audio.frames > 0 ? t->audio.channels : 0;
    if (!missing.isEmpty() || reported != channels) {
        missing.removeDuplicates();
        throw Error(missing.isEmpty() ? QCoreApplication::translate(
                                            "Vantrel::SessionExport",
                                            "Ardour's session tool did not tell where it found the "
                                            "audio of every track, so no session was made.")
                                      : QCoreApplication::translate(
                                            "Vantrel::SessionExport",
                                            "Ardour did not find the audio of %1 where it lies, so "
                                            "no session was made.")
                                            .arg(named(missing)));
    }
    stopIfCancelled();

    putInPlace(building, target, what);
    report(progress, 1,
           QCoreApplication::translate("Vantrel::SessionExport", "Made the Ardour session “%1”.")
               .arg(name));

    ArdourSession result;
    result.folder = target;
    result.file = target + QLatin1Char('/') + name + QStringLiteral(".ardour");
    QStringList renamed;
    for (qsizetype i = 0; i < routes.size(); ++i) {
        result.trackNames << routes[i].second;
        if (routes[i].second != planned[i]->name)
            renamed << QCoreApplication::translate("Vantrel::SessionExport", "“%1” is “%2”")
                           .arg(planned[i]->name, routes[i].second);
    }
    if (!renamed.isEmpty())
        result.notes << QCoreApplication::translate(
                            "Vantrel::SessionExport",
                            "Ardour needs every track's name to be its own and keeps "
                            "some names for itself, so %1.")
                            .arg((renamed.mid(0, 3) + (renamed.size() > 3
                                                           ? QStringList{QStringLiteral("…")}
                                                           : QStringList{}))
                                     .join(QStringLiteral(", ")));
    const QStringList otherRates = plan.otherRates();
    if (otherRates.size() == 1)
        result.notes << QCoreApplication::translate(
                            "Vantrel::SessionExport",
                            "“%1” is not at the session's %2, so Ardour plays it at "
                            "the wrong speed until it is converted.")
                            .arg(otherRates.first(), Engine::rateText(plan.sampleRate));
    else if (!otherRates.isEmpty())
        result.notes << QCoreApplication::translate(
                            "Vantrel::SessionExport",
                            "%n tracks are not at the session's %1 (%2), so Ardour plays them at "
                            "the wrong speed until they are converted.",
                            nullptr, int(otherRates.size()))
                            .arg(Engine::rateText(plan.sampleRate), named(otherRates));
    return result;
}

bool openInArdour(const ArdourTool& tool, const QString& sessionFile) {
    if (!tool.gui)
        return false;
    return QProcess::startDetached(*tool.gui, {sessionFile});
}

} // namespace Vantrel::Sessions
