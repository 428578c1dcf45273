// The send to Logic Pro and the connection check, from the application model down to the
// simulated Logic Pro on a virtual clock: the session it ends up holding, the send fields, the
// send log line by line and the window and panel steps.

#include "app/AppModelFixture.h"
#include "app/Presenter.h"
#include "automation/LogicBridge.h"
#include "automation/LogicSender.h"
#include "automation/SendJobs.h"
#include "cli/Demo.h"

#include <QFile>
#include <QRegularExpression>
#include <QScopeGuard>
#include <QSet>

#include <algorithm>
#include <atomic>
#include <functional>

namespace Vantrel {
namespace {

using namespace AppTesting;

// Records the window and panel steps of a send, in order.
class RecordingPresenter : public Presenter {
public:
    void hideMainWindow() override { calls << QStringLiteral("hide main window"); }
    void showSendPanel(Point topLeft) override {
        calls << QStringLiteral("show panel at %1,%2").arg(topLeft.x).arg(topLeft.y);
    }
    void closeSendPanel() override { calls << QStringLiteral("close panel"); }
    void restoreMainWindow() override { calls << QStringLiteral("restore main window"); }
    void activateApplication() override { calls << QStringLiteral("activate"); }
    QStringList calls;
};

// The steps of a whole send on the simulated 1440 × 900 screen under its 25-point menu bar:
// the 340-point panel's top-left corner 20 points in from the visible area's top-right corner.
const QStringList kWholeSend{"hide main window", "show panel at 1080,45", "close panel",
                             "restore main window", "activate"};

// Wraps the test's virtual clock and holds the sending worker, once, at the first pause after
// hold() turns true.
class HoldingClock : public Clock {
public:
    explicit HoldingClock(VirtualClock& inner) : inner_(inner) {}
    Duration now() const override { return inner_.now(); }
    void sleepFor(Duration d) override {
        inner_.sleepFor(d);
        if (hold && !held_.load() && hold() && !held_.exchange(true))
            gate.pass();
    }

    std::function<bool()> hold; // set before the send starts
    Gate gate;

private:
    VirtualClock& inner_;
    std::atomic<bool> held_{false};
};

// Rules whose new names do not follow the session order (no track numbers), with a default
// colour (DRUMS), a stored one (VOCALS) and a group without tracks (BASS).
Config sendRules() {
    Config cfg = rules();
    cfg.numberTracks = false;
    cfg.groups[2].color = QList<int>{3, 2};
    return cfg;
}

// DRUMS ×3, VOCALS ×2 and one unsorted track, in this session order.
const QStringList kSession{"1Snare Top.wav", "2Kick In.wav", "3Kick Out.wav",
                           "4Vox Lead.wav",  "5Vox Dbl.wav", "6Room.wav"};

QStringList logLines() {
    QFile file(SendModel::sendLogPath());
    if (!file.open(QIODevice::ReadOnly))
        return {};
    QStringList lines = QString::fromUtf8(file.readAll()).split(QLatin1Char('\n'));
    EXPECT_EQ(lines.last(), QString()) << "the log does not end with a line feed";
    lines.removeLast();
    return lines;
}

class AppModelSend : public AppModelFixture {
protected:
    void SetUp() override {
        AppModelFixture::SetUp();
        sendRules().save();
    }
    // A send held by a failed test is let go; the platform goes before the clock it may be
    // running on.
    void TearDown() override {
        if (holding)
            holding->gate.open();
        AppModelFixture::TearDown();
        sim.reset();
    }

    // A model on the done screen of the session above (organized in place or copied).
    std::unique_ptr<AppModel> approvedModel(bool inPlace = false) {
        auto model = std::make_unique<AppModel>(services());
        model->setPresenter(&presenter);
        model->approval().setOrganizeInPlace(inPlace);
        loadAndWait(*model, makeFolder(QStringLiteral("Session"), kSession));
        approveAndWait(*model);
        return model;
    }

    // Runs the platform on a clock that can hold the send; call before approvedModel().
    HoldingClock& holdingClock() {
        holding = std::make_unique<HoldingClock>(clock);
        sim = std::make_unique<SimPlatform>(*holding);
        return *holding;
    }

    static bool waitUntilSent(const AppModel& model) {
        return QTest::qWaitFor([&model] { return !model.send().sending(); }, kTimeoutMs);
    }

    bool hasStack(const QString& name) {
        for (const SimTrack& t : sim->logic().session().tracks)
            if (t.isStack && t.name == name)
                return true;
        return false;
    }

    // The message a sender alone fails with on a fresh simulator with these quirks.
    std::optional<QString> directFailure(const AppModel& model, const QStringList& quirks) {
        VirtualClock otherClock{10s};
        SimPlatform other(otherClock, quirks);
        LogicSender sender(other);
        const SendOutcome outcome =
            sender.send(SendMode::fast,
                        sendJobs(model.approval().exportedItems(), model.rules().config(),
                                 model.approval().resultURL()),
                        false);
        if (outcome.ok)
            return std::nullopt;
        return outcome.result;
    }

    RecordingPresenter presenter;
    std::unique_ptr<HoldingClock> holding;
};

// Whether the status column of a log line holds a note: the log indents notes.
bool isLoggedNote(const QString& status) {
    return status.startsWith(QLatin1String("  "));
}

// A progress line: seconds (one decimal, 5 wide), "s", percentage (3 wide), "%", two spaces and
// a status (a note begins with two more spaces).
const QRegularExpression kProgressLine(QStringLiteral(R"(^([ \d]{2}\d\.\d)s ([ \d]{2}\d)%  .+$)"));

// ---- A whole send ----

// Verifies a send in each mode: the session built in Logic Pro (stacks in rule order with their
// colours, each group's tracks, the unsorted track outside), the fields at the end, the window
// and panel steps, and the log from 0.0 s on the platform's clock to its closing "OK".
TEST_F(AppModelSend, shouldBuildTheSessionAndLogEveryReport) {
    const struct {
        const char* name;
        SendMode mode;
        bool tracksInProject; // the stacks-only run stacks tracks already there
        bool folded;
        bool coloured;
    } rows[] = {
        {"fast", SendMode::fast, false, true, true},
        {"grouped", SendMode::grouped, false, true, true},
        {"one by one", SendMode::slow, false, false, false},
        {"stacks only", SendMode::stacksOnly, true, false, false},
    };
    for (const auto& row : rows) {
        SCOPED_TRACE(row.name);
        finishWork(); // the previous row's send is over before its platform goes
        sim = std::make_unique<SimPlatform>(clock);
        presenter.calls.clear();
        QDir(root.path()).removeRecursively();
        ASSERT_TRUE(QDir().mkpath(root.path()));
        const auto model = approvedModel();
        if (row.tracksInProject) {
            for (const QString& file : model->approval().dragURLs())
                sim->logic().addTrack(memberName(file));
        }
        const auto statuses =
            record<QString>(*model, model->send(), &SendModel::sendStatusChanged,
                            [](const AppModel& m) { return m.send().sendStatus(); });

        model->send().sendToLogic(row.mode);
        EXPECT_TRUE(model->send().sending());
        EXPECT_EQ(model->send().sendStatus(), QStringLiteral("Starting…"));
        EXPECT_EQ(model->send().sendProgress(), 0.0);
        EXPECT_EQ(model->send().sendResult(), std::nullopt);
        EXPECT_NE(model->send().sender(), nullptr);
        EXPECT_EQ(presenter.calls, kWholeSend.mid(0, 2));
        ASSERT_TRUE(waitUntilSent(*model));

        EXPECT_EQ(model->send().sendResult(),
                  QStringLiteral("Sent 6 tracks and 2 stacks to Logic."));
        EXPECT_EQ(model->send().sendStatus(), QStringLiteral("Done"));
        EXPECT_EQ(model->send().sendProgress(), 1.0);
        EXPECT_EQ(model->errorMessage(), std::nullopt);
        EXPECT_EQ(presenter.calls, kWholeSend);

        // The session: stacks in rule order, DRUMS in its default cell, VOCALS in its stored one.
        const auto drumsCell = sendRules().groups[0].swatch();
        ASSERT_TRUE(drumsCell.has_value());
        const struct {
            QString name;
            std::optional<QString> stack;
            std::optional<std::pair<int, int>> color;
        } wanted[] = {
            {"DRUMS", std::nullopt, std::pair(drumsCell->col, drumsCell->row)},
            {"KICK_IN", "DRUMS", std::pair(drumsCell->col, drumsCell->row)},
            {"KICK_OUT", "DRUMS", std::pair(drumsCell->col, drumsCell->row)},
            {"SNARE_TOP", "DRUMS", std::pair(drumsCell->col, drumsCell->row)},
            {"VOCALS", std::nullopt, std::pair(3, 2)},
            {"VOX_DBL", "VOCALS", std::pair(3, 2)},
            {"VOX_LEAD", "VOCALS", std::pair(3, 2)},
            {"ROOM", std::nullopt, std::nullopt},
        };
        const QList<SimTrack> tracks = sim->logic().session().tracks;
        QStringList stacks;
        for (const SimTrack& t : tracks)
            if (t.isStack)
                stacks << t.name;
        EXPECT_EQ(stacks, (QStringList{"DRUMS", "VOCALS"}));
        ASSERT_EQ(tracks.size(), qsizetype(std::size(wanted)));
        for (const auto& w : wanted) {
            const auto t = std::find_if(tracks.cbegin(), tracks.cend(),
                                        [&w](const SimTrack& t) { return t.name == w.name; });
            ASSERT_NE(t, tracks.cend()) << w.name.toStdString();
            EXPECT_EQ(t->stack, w.stack) << w.name.toStdString();
            EXPECT_EQ(t->color, row.coloured ? w.color : std::nullopt) << w.name.toStdString();
            if (t->isStack) {
                EXPECT_EQ(t->folded, row.folded) << w.name.toStdString();
            }
        }

        // The log: one line per report from 0.0 s, in time order, ending in "Done" and "OK";
        // the status followed the same reports but the notes.
        const QStringList lines = logLines();
        ASSERT_GE(lines.size(), 3);
        EXPECT_EQ(lines.last(), QStringLiteral("OK"));
        EXPECT_TRUE(lines[0].startsWith(QStringLiteral("  0.0s "))) << lines[0].toStdString();
        EXPECT_TRUE(lines[lines.size() - 2].endsWith(QStringLiteral("100%  Done")));
        double previous = 0;
        QStringList logged{QStringLiteral("Starting…")};
        for (const QString& line : lines.mid(0, lines.size() - 1)) {
            const QRegularExpressionMatch m = kProgressLine.match(line);
            ASSERT_TRUE(m.hasMatch()) << line.toStdString();
            const double seconds = m.captured(1).toDouble();
            EXPECT_GE(seconds, previous) << line.toStdString();
            previous = seconds;
            const QString status = line.mid(13);
            if (!isLoggedNote(status) && status != logged.last())
                logged << status;
        }
        EXPECT_GT(previous, 0.0);
        EXPECT_EQ(*statuses, logged);
    }
}

// Verifies, for a send of the demo session with the built-in rules in every mode, that the
// panel's progress never goes back and that its status shows status lines only: the notes
// (the colour walk's included) reach the log alone.
TEST_F(AppModelSend, shouldMoveTheProgressForwardAndKeepNotesOffThePanel) {
    Config::defaults().save();
    for (const SendMode mode :
         {SendMode::fast, SendMode::grouped, SendMode::slow, SendMode::stacksOnly}) {
        SCOPED_TRACE(sendModeName(mode).toStdString());
        finishWork(); // the previous row's send is over before its platform goes
        sim = std::make_unique<SimPlatform>(clock);
        QDir(root.path()).removeRecursively();
        ASSERT_TRUE(QDir().mkpath(root.path()));
        const QString folder = root.filePath(QStringLiteral("Demo"));
        Cli::writeDemoSession(folder);
        AppModel model(services());
        loadAndWait(model, folder);
        approveAndWait(model);
        if (mode == SendMode::stacksOnly) {
            for (const QString& file : model.approval().dragURLs())
                sim->logic().addTrack(memberName(file));
        }
        const auto progress =
            record<double>(model, model.send(), &SendModel::sendProgressChanged,
                           [](const AppModel& m) { return m.send().sendProgress(); });
        const auto statuses =
            record<QString>(model, model.send(), &SendModel::sendStatusChanged,
                            [](const AppModel& m) { return m.send().sendStatus(); });

        model.send().sendToLogic(mode);
        ASSERT_TRUE(waitUntilSent(model));

        EXPECT_TRUE(
            model.send().sendResult().value_or(QString()).startsWith(QStringLiteral("Sent ")))
            << model.send().sendResult().value_or(QString()).toStdString();
        ASSERT_FALSE(progress->isEmpty());
        EXPECT_EQ(progress->last(), 1.0);
        for (qsizetype i = 1; i < progress->size(); ++i)
            EXPECT_GE((*progress)[i], (*progress)[i - 1]) << "value " << i;
        const QStringList lines = logLines();
        // Every status the panel showed is a status line of the log, never a note.
        QSet<QString> logStatuses{QStringLiteral("Starting…")};
        for (const QString& line : lines.mid(0, lines.size() - 1))
            if (!isLoggedNote(line.mid(13)))
                logStatuses.insert(line.mid(13));
        for (const QString& status : *statuses)
            EXPECT_TRUE(logStatuses.contains(status)) << status.toStdString();
        EXPECT_FALSE(lines.filter(QRegularExpression(QStringLiteral("%    "))).isEmpty())
            << "the log holds no note";
    }
}

// ---- While sending ----

// Verifies the state in the middle of a send (fields follow the log, which is complete up to
// the last report), that a second send then does nothing, and that the panel's Cancel stops
// the run with "Cancelled.", logged last, leaving what was built.
TEST_F(AppModelSend, shouldIgnoreASecondSendAndStopOnCancel) {
    HoldingClock& holdingAt = holdingClock();
    holdingAt.hold = [this] { return hasStack(QStringLiteral("DRUMS")); };
    const auto model = approvedModel();

    model->send().sendToLogic(SendMode::fast);
    ASSERT_TRUE(QTest::qWaitFor([&holdingAt] { return holdingAt.gate.reached(); }, kTimeoutMs));
    QCoreApplication::processEvents(); // the reports queued before the hold
    const QStringList sofar = logLines();
    ASSERT_FALSE(sofar.isEmpty());
    EXPECT_TRUE(sofar.last().endsWith(QStringLiteral("  ") + model->send().sendStatus()))
        << sofar.last().toStdString();
    EXPECT_EQ(sofar.last().mid(7, 4),
              QString::asprintf("%3.0f%%", model->send().sendProgress() * 100));
    EXPECT_TRUE(model->send().sending());

    const LogicSender* running = model->send().sender();
    const QString status = model->send().sendStatus();
    model->send().sendToLogic(SendMode::grouped);
    EXPECT_EQ(model->send().sender(), running);
    EXPECT_EQ(model->send().sendStatus(), status);
    EXPECT_EQ(logLines(), sofar);
    EXPECT_EQ(presenter.calls, kWholeSend.mid(0, 2));

    model->send().cancelSend();
    EXPECT_TRUE(running->cancelled.load());
    holdingAt.gate.open();
    ASSERT_TRUE(waitUntilSent(*model));

    EXPECT_EQ(model->send().sendResult(), QStringLiteral("Cancelled."));
    EXPECT_EQ(model->errorMessage(), std::nullopt);
    EXPECT_EQ(presenter.calls, kWholeSend);
    const QStringList lines = logLines();
    EXPECT_EQ(lines.mid(0, sofar.size()), sofar);
    EXPECT_EQ(lines.last(), QStringLiteral("ERROR: Cancelled."));
    EXPECT_EQ(lines.filter(QRegularExpression(QStringLiteral("^(OK|ERROR)"))).size(), 1);
    EXPECT_TRUE(hasStack(QStringLiteral("DRUMS")));
    EXPECT_FALSE(hasStack(QStringLiteral("VOCALS")));
}

// Verifies that a send whose model is gone runs to its end and logs it, publishing nothing.
TEST_F(AppModelSend, shouldFinishASendWhoseModelIsGone) {
    HoldingClock& holdingAt = holdingClock();
    holdingAt.hold = [this] { return hasStack(QStringLiteral("DRUMS")); };
    auto model = approvedModel();

    model->send().sendToLogic(SendMode::fast);
    ASSERT_TRUE(QTest::qWaitFor([&holdingAt] { return holdingAt.gate.reached(); }, kTimeoutMs));
    model.reset();
    holdingAt.gate.open();
    finishWork();

    EXPECT_EQ(logLines().value(logLines().size() - 1), QStringLiteral("OK"));
    EXPECT_TRUE(hasStack(QStringLiteral("VOCALS")));
    // The presenter went with the model: nobody is left to close the panel.
    EXPECT_EQ(presenter.calls, kWholeSend.mid(0, 2));
}

// ---- Failures ----

// Verifies that a failed check only sets the message: no field of the send changes, nothing is
// hidden or shown, no sender is made and the previous log stays.
TEST_F(AppModelSend, shouldChangeOnlyTheMessageWhenACheckFails) {
    const struct {
        const char* name;
        bool approved;
        QString quirk;
        std::optional<QString> message;
        int prompts;
    } rows[] = {
        {"without the permission", true, QStringLiteral("not-trusted"),
         QStringLiteral("Allow Vantrel in System Settings > Privacy & Security > Accessibility, "
                        "then try again."),
         1},
        {"Logic Pro not running", true, QStringLiteral("not-running"),
         QStringLiteral("Open Logic Pro with an empty project first, then try again."), 0},
        {"nothing approved", false, QString(), std::nullopt, 0},
    };
    for (const auto& row : rows) {
        SCOPED_TRACE(row.name);
        finishWork(); // the previous row's send is over before its platform goes
        sim = std::make_unique<SimPlatform>(clock);
        presenter.calls.clear();
        QDir(root.path()).removeRecursively();
        ASSERT_TRUE(QDir().mkpath(root.path()));
        std::unique_ptr<AppModel> model;
        if (row.approved) {
            model = approvedModel();
        } else {
            model = std::make_unique<AppModel>(services());
            model->setPresenter(&presenter);
        }
        if (!row.quirk.isEmpty()) {
            ASSERT_TRUE(sim->logic().setQuirk(row.quirk, true));
        }
        Fixtures::writeFile(SendModel::sendLogPath(), "  0.0s   0%  an earlier send\nOK\n");
        int changes = 0;
        for (const auto signal : {&SendModel::sendingChanged, &SendModel::sendStatusChanged,
                                  &SendModel::sendProgressChanged, &SendModel::sendResultChanged})
            QObject::connect(&model->send(), signal, [&changes] { ++changes; });

        model->send().sendToLogic(SendMode::fast);
        finishWork();
        EXPECT_EQ(model->errorMessage(), row.message);
        EXPECT_EQ(sim->logic().trustPrompts(), row.prompts);
        EXPECT_EQ(changes, 0);
        EXPECT_FALSE(model->send().sending());
        EXPECT_EQ(model->send().sendStatus(), QString());
        EXPECT_EQ(model->send().sendProgress(), 0.0);
        EXPECT_EQ(model->send().sendResult(), std::nullopt);
        EXPECT_EQ(model->send().sender(), nullptr);
        EXPECT_TRUE(presenter.calls.isEmpty());
        EXPECT_EQ(logLines(), (QStringList{"  0.0s   0%  an earlier send", "OK"}));
    }
}

// Verifies a failed run (the sender's own message as the result, "ERROR: " and it last in the
// log), then a second send that goes through: the log holds the second send only.
TEST_F(AppModelSend, shouldReportAFailedRunAndKeepOnlyTheLastLog) {
    const auto model = approvedModel();
    const std::optional<QString> failure = directFailure(*model, {QStringLiteral("drop-ignored")});
    ASSERT_TRUE(failure.has_value()) << "the sender alone did not fail";
    ASSERT_TRUE(sim->logic().setQuirk(QStringLiteral("drop-ignored"), true));

    model->send().sendToLogic(SendMode::fast);
    ASSERT_TRUE(waitUntilSent(*model));
    EXPECT_EQ(model->send().sendResult(), failure);
    EXPECT_EQ(model->errorMessage(), std::nullopt);
    EXPECT_EQ(presenter.calls, kWholeSend);
    EXPECT_EQ(logLines().value(logLines().size() - 1), QStringLiteral("ERROR: ") + *failure);
    const LogicSender* first = model->send().sender();

    ASSERT_TRUE(sim->logic().setQuirk(QStringLiteral("drop-ignored"), false));
    presenter.calls.clear();
    model->send().sendToLogic(SendMode::fast);
    EXPECT_NE(model->send().sender(), first);
    EXPECT_EQ(model->send().sendResult(), std::nullopt);
    ASSERT_TRUE(waitUntilSent(*model));
    EXPECT_EQ(model->send().sendResult(), QStringLiteral("Sent 6 tracks and 2 stacks to Logic."));
    EXPECT_EQ(presenter.calls, kWholeSend);
    const QStringList lines = logLines();
    ASSERT_FALSE(lines.isEmpty());
    EXPECT_TRUE(lines.first().startsWith(QStringLiteral("  0.0s "))) << lines[0].toStdString();
    EXPECT_EQ(lines.filter(QStringLiteral("ERROR")), QStringList());
    EXPECT_EQ(lines.filter(QRegularExpression(QStringLiteral("^OK$"))).size(), 1);
    EXPECT_EQ(lines.last(), QStringLiteral("OK"));
}

// Verifies the log of a new user, whose configuration folder does not exist yet: it is made and
// the log written; and a send that goes on without a log where the folder cannot be made.
TEST_F(AppModelSend, shouldMakeTheLogFolderOrSendWithoutALog) {
    const QString configFolder = QFileInfo(Config::filePath()).absolutePath();
    {
        const auto model = approvedModel();
        QDir(configFolder).removeRecursively();
        model->send().sendToLogic(SendMode::fast);
        ASSERT_TRUE(waitUntilSent(*model));
        EXPECT_EQ(model->send().sendResult(),
                  QStringLiteral("Sent 6 tracks and 2 stacks to Logic."));
        QFile log(SendModel::sendLogPath());
        ASSERT_TRUE(log.open(QIODevice::ReadOnly));
        EXPECT_TRUE(log.readAll().endsWith("OK\n"));
    }
    finishWork();
    sim = std::make_unique<SimPlatform>(clock); // an empty project again
    QDir(root.path()).removeRecursively();
    ASSERT_TRUE(QDir().mkpath(root.path()));
    const auto model = approvedModel();
    QDir(configFolder).removeRecursively();
    Fixtures::writeFile(configFolder, "a file where the folder belongs");
    const auto cleanUp = qScopeGuard([&configFolder] { QFile::remove(configFolder); });
    model->send().sendToLogic(SendMode::fast);
    ASSERT_TRUE(waitUntilSent(*model));
    EXPECT_EQ(model->send().sendResult(), QStringLiteral("Sent 6 tracks and 2 stacks to Logic."));
    EXPECT_FALSE(QFileInfo(SendModel::sendLogPath()).isFile());
}

// ---- The drag list ----

// Verifies the drag list of a sorted copy and of a folder organized in place: each group's
// files in new-name order, groups in rule order, the unsorted file last, every path an
// existing file of the result; and an empty list before any approval.
TEST_F(AppModelSend, shouldOfferTheApprovedFilesInSendOrder) {
    EXPECT_TRUE(AppModel(services()).approval().dragURLs().isEmpty());
    for (const bool inPlace : {false, true}) {
        SCOPED_TRACE(inPlace ? "in place" : "sorted copy");
        QDir(root.path()).removeRecursively();
        ASSERT_TRUE(QDir().mkpath(root.path()));
        const auto model = approvedModel(inPlace);
        const QString result = *model->approval().resultURL();
        EXPECT_EQ(result, root.filePath(inPlace ? QStringLiteral("Session")
                                                : QStringLiteral("Session SORTED")));

        const QStringList files = model->approval().dragURLs();
        EXPECT_EQ(files, (QStringList{
                             result + "/01_DRUMS/KICK_IN.wav", result + "/01_DRUMS/KICK_OUT.wav",
                             result + "/01_DRUMS/SNARE_TOP.wav", result + "/03_VOCALS/VOX_DBL.wav",
                             result + "/03_VOCALS/VOX_LEAD.wav", result + "/OTHER/ROOM.wav"}));
        for (const QString& file : files)
            EXPECT_TRUE(QFileInfo(file).isFile()) << file.toStdString();
    }
}

// Verifies that rules saved on the done screen leave the result as written and that a send
// then still sends every approved track: a group renamed since the approval is sent with the
// unsorted tracks, never dropped.
TEST_F(AppModelSend, shouldSendEveryTrackAfterAGroupWasRenamed) {
    for (const bool inPlace : {false, true}) {
        SCOPED_TRACE(inPlace ? "in place" : "sorted copy");
        finishWork();
        sim = std::make_unique<SimPlatform>(clock);
        QDir(root.path()).removeRecursively();
        ASSERT_TRUE(QDir().mkpath(root.path()));
        sendRules().save(); // the previous row saved its own
        const auto model = approvedModel(inPlace);
        const QStringList approved = model->approval().dragURLs();
        ASSERT_EQ(approved.size(), kSession.size());

        Config cfg = model->rules().config();
        cfg.groups[2].name = QStringLiteral("VOX"); // VOCALS renamed
        ASSERT_TRUE(model->rules().saveRules(cfg));
        EXPECT_FALSE(model->busyState().busy());
        EXPECT_EQ(model->errorMessage(), std::nullopt);
        EXPECT_EQ(model->approval().dragURLs().size(), approved.size());

        model->send().sendToLogic(SendMode::fast);
        ASSERT_TRUE(waitUntilSent(*model));
        EXPECT_EQ(model->send().sendResult(),
                  QStringLiteral("Sent 6 tracks and 1 stack to Logic."));
        QStringList names;
        for (const SimTrack& t : sim->logic().session().tracks)
            if (!t.isStack)
                names << t.name;
        names.sort();
        EXPECT_EQ(names,
                  (QStringList{"KICK_IN", "KICK_OUT", "ROOM", "SNARE_TOP", "VOX_DBL", "VOX_LEAD"}));
    }
}

// ---- A folder prepared before ----

// Verifies that a folder Vantrel prepared (a sorted copy, or organized in place) opens after a
// restart as the result it is: the done screen with the same tracks, the put-back only in place,
// and a send that builds the whole session. A manifest that lists a missing track says why the
// folder cannot be sent, and a new track beside the prepared ones opens the review.
TEST_F(AppModelSend, shouldOpenAPreparedFolderReadyToSend) {
    for (const bool inPlace : {false, true}) {
        SCOPED_TRACE(inPlace ? "in place" : "sorted copy");
        finishWork();
        sim = std::make_unique<SimPlatform>(clock);
        QDir(root.path()).removeRecursively();
        ASSERT_TRUE(QDir().mkpath(root.path()));
        QString result;
        QStringList approved;
        {
            const auto first = approvedModel(inPlace);
            result = *first->approval().resultURL();
            approved = first->approval().dragURLs();
        }

        AppModel model(services());
        model.setPresenter(&presenter);
        loadAndWait(model, result);
        EXPECT_EQ(model.approval().resultURL(), result);
        EXPECT_EQ(model.approval().resultInPlace(), inPlace);
        EXPECT_EQ(model.approval().dragURLs(), approved);
        EXPECT_EQ(model.approval().exportNote(),
                  QStringLiteral("Prepared by Vantrel before: 6 tracks ready to send to Logic."));
        model.send().sendToLogic(SendMode::fast);
        ASSERT_TRUE(waitUntilSent(model));
        EXPECT_EQ(model.send().sendResult(),
                  QStringLiteral("Sent 6 tracks and 2 stacks to Logic."));
        EXPECT_TRUE(hasStack(QStringLiteral("DRUMS")));

        if (inPlace) {
            model.approval().undoOrganize();
            ASSERT_TRUE(waitUntilIdle(model));
            EXPECT_EQ(model.approval().resultURL(), std::nullopt);
            EXPECT_EQ(model.review().items().size(), kSession.size());
        }
    }

    // A listed track gone: not a result, and the message says why.
    QDir(root.path()).removeRecursively();
    ASSERT_TRUE(QDir().mkpath(root.path()));
    QString result;
    {
        const auto first = approvedModel(false);
        result = *first->approval().resultURL();
    }
    ASSERT_TRUE(QFile::remove(result + QStringLiteral("/OTHER/ROOM.wav")));
    AppModel model(services());
    model.review().load(result);
    ASSERT_TRUE(waitUntilIdle(model));
    EXPECT_EQ(model.approval().resultURL(), std::nullopt);
    ASSERT_TRUE(model.errorMessage());
    EXPECT_TRUE(model.errorMessage()->startsWith(
        QStringLiteral("No audio files found directly inside “Session SORTED”.\n")))
        << model.errorMessage()->toStdString();
    EXPECT_TRUE(model.errorMessage()->contains(QStringLiteral("ROOM.wav")))
        << model.errorMessage()->toStdString();

    // A new track beside the prepared ones: the review, to sort it in.
    model.setErrorMessage(std::nullopt);
    Fixtures::touchAll(result, {"7Kick Sub.wav"});
    loadAndWait(model, result);
    EXPECT_EQ(model.approval().resultURL(), std::nullopt);
    EXPECT_EQ(fileNames(model.review().items()), QStringList{"7Kick Sub.wav"});
}

// Verifies that the outcome of a send belongs to the result it sent: a new result, after the
// files were put back and approved again, shows no send yet.
TEST_F(AppModelSend, shouldForgetTheLastSendWithANewResult) {
    const auto model = approvedModel(true);
    model->send().sendToLogic(SendMode::fast);
    ASSERT_TRUE(waitUntilSent(*model));
    ASSERT_EQ(model->send().sendEnd(), SendHost::SendEnd::sent);
    ASSERT_TRUE(model->send().sendResult());

    model->approval().undoOrganize();
    ASSERT_TRUE(waitUntilIdle(*model));
    ASSERT_EQ(model->approval().resultURL(), std::nullopt);
    approveAndWait(*model);
    EXPECT_EQ(model->send().sendResult(), std::nullopt);
    EXPECT_EQ(model->send().sendEnd(), SendHost::SendEnd::none);
}

// ---- The connection check ----

// Verifies the connection check's message for a readable Logic Pro (the number of menu items,
// as dumped), one not running and one without the permission (asked for once).
TEST_F(AppModelSend, shouldReportTheConnectionCheckInTheMessage) {
    const struct {
        const char* name;
        QString quirk;
        QString message; // with %1 for the number of lines dumped
        int prompts;
    } rows[] = {
        {"connected", QString(), QStringLiteral("Connected. Read %1 menu items from Logic Pro."),
         0},
        {"not running", QStringLiteral("not-running"), QStringLiteral("Logic Pro isn't running."),
         0},
        {"not trusted", QStringLiteral("not-trusted"),
         QStringLiteral("Allow Vantrel in System Settings > Privacy & Security > Accessibility, "
                        "then choose Logic > Check Logic Connection again."),
         1},
    };
    for (const auto& row : rows) {
        SCOPED_TRACE(row.name);
        finishWork(); // the previous row's send is over before its platform goes
        sim = std::make_unique<SimPlatform>(clock);
        if (!row.quirk.isEmpty()) {
            ASSERT_TRUE(sim->logic().setQuirk(row.quirk, true));
        }
        QFile::remove(LogicBridge::dumpPath());
        AppModel model(services());

        model.send().checkLogicConnection();
        QFile dump(LogicBridge::dumpPath());
        if (row.message.contains(QStringLiteral("%1"))) {
            ASSERT_TRUE(dump.open(QIODevice::ReadOnly));
            const qsizetype lines = dump.readAll().count('\n') + 1;
            EXPECT_GT(lines, 10);
            EXPECT_EQ(model.errorMessage(), row.message.arg(lines));
        } else {
            EXPECT_FALSE(dump.exists());
            EXPECT_EQ(model.errorMessage(), row.message);
        }
        EXPECT_EQ(sim->logic().trustPrompts(), row.prompts);
    }
}

} // namespace
} // namespace Vantrel
