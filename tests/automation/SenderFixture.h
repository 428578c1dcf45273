#pragma once

// A sender against the simulated Logic Pro on a virtual clock, with realistic jobs written as
// small files into a temporary result folder, the progress it reported, and a check of the
// session the simulator ends up holding.

#include "automation/LogicSender.h"
#include "automation/SendJobs.h"
#include "platform/sim/SimPlatform.h"
#include "support/TestFiles.h"

#include <QTemporaryDir>

#include <gtest/gtest.h>

#include <functional>
#include <memory>
#include <optional>
#include <utility>

namespace Vantrel::SenderTesting {

using namespace std::chrono_literals;

// One progress report.
struct Report {
    QString status;
    double fraction = 0;
};

// The jobs of a result folder: (group or none, file names, colour) each in its own folder.
struct JobPlan {
    std::optional<QString> group;
    QStringList names;
    std::optional<Swatch> color;
};

// The tracks the session holds in the job's stack (outside every stack for the unsorted job)
// and the tracks the job sends, each sorted by name.
inline std::pair<QStringList, QStringList> heldAndSent(const SimSession& s, const SendJob& job) {
    QStringList held;
    for (const SimTrack& t : s.tracks)
        if (!t.isStack && t.stack == job.group)
            held << t.name;
    QStringList sent = memberNames(job);
    held.sort();
    sent.sort();
    return {held, sent};
}

class SenderTest : public testing::Test {
protected:
    // Switches quirks on before the sender is made.
    void start(const QStringList& quirks = {}) {
        sim = std::make_unique<SimPlatform>(clock, quirks);
        sender = std::make_unique<LogicSender>(*sim);
        // VANTREL_SEND_LOG=1 prints every report as it comes, with timing notes; with
        // VANTREL_SEND_LOG=failed, only the reports of a test that failed, at its end.
        sender->profile = qEnvironmentVariable("VANTREL_SEND_LOG") == u"1";
        // Reports are kept as the send log shows them (notes indented).
        sender->onProgress = [this](const SendReport& report) {
            const QString status = sendLogText(report);
            reports.append({status, report.fraction});
            if (sender->profile)
                fprintf(stderr, "%s\n", qPrintable(status));
            if (cancelWhen && cancelWhen(status))
                sender->cancelled.store(true);
        };
    }

    // Writes every file as a short audio file under the result folder and returns the jobs.
    QList<SendJob> jobsOf(const QList<JobPlan>& plans) {
        QList<SendJob> jobs;
        int folderNumber = 1;
        for (const JobPlan& plan : plans) {
            const QString folder = plan.group ? QStringLiteral("%1_%2")
                                                    .arg(folderNumber++, 2, 10, QChar('0'))
                                                    .arg(*plan.group)
                                              : QStringLiteral("99_UNSORTED");
            SendJob job{plan.group, {}, plan.color};
            for (const QString& name : plan.names) {
                const QString path = dir.filePath(folder + QLatin1Char('/') + name + ".wav");
                Fixtures::writeFile(path, "RIFF");
                job.files << path;
            }
            jobs << job;
        }
        return jobs;
    }

    // Several coloured groups, one group without colour, unsorted files.
    QList<SendJob> realisticJobs() {
        return jobsOf({
            {"DRUMS", {"01_KICK_IN", "02_KICK_OUT", "03_SNARE_TOP", "04_HIHAT"}, Swatch{0, 0}},
            {"BASS", {"01_DI", "02_AMP"}, Swatch{17, 1}},
            {"KEYS", {"01_PIANO_L", "02_PIANO_R", "03_ORGAN"}, Swatch{12, 0}},
            {"UTILITY", {"01_CLICK"}, std::nullopt},
            {"VOCALS", {"01_VOX_1", "02_VOX_2"}, Swatch{22, 3}},
            {std::nullopt, {"ROOM_MIC_L", "TALKBACK"}, std::nullopt},
        });
    }

    // The jobs with the group's name in front of every track name (sorted run).
    QList<SendJob> groupInNameJobs() {
        return jobsOf({
            {"DRUMS", {"DRUMS_01_KICK", "DRUMS_02_SNARE", "DRUMS_03_HIHAT"}, Swatch{0, 0}},
            {"BASS", {"BASS_01_DI", "BASS_02_AMP"}, Swatch{17, 1}},
            {"UTILITY", {"UTILITY_01_CLICK"}, std::nullopt},
            {"VOCALS", {"VOCALS_01_LEAD", "VOCALS_02_BGV"}, Swatch{22, 0}},
            {std::nullopt, {"ROOM_MIC_L"}, std::nullopt},
        });
    }

    // Sends the jobs in mode (with groupInName, group names lead the track names) and returns
    // how it ended.
    SendOutcome send(SendMode mode, const QList<SendJob>& jobs, bool groupInName = false) {
        return sender->send(mode, jobs, groupInName);
    }

    // The same, expecting the send to go through.
    void sendThrough(SendMode mode, const QList<SendJob>& jobs, bool groupInName = false) {
        const SendOutcome outcome = send(mode, jobs, groupInName);
        EXPECT_TRUE(outcome.ok) << outcome.result.toStdString();
    }

    // Runs f and returns the message it failed with, or none when it went through.
    std::optional<QString> failureOf(const std::function<void()>& f) {
        try {
            f();
        } catch (const SendError& e) {
            return e.message();
        }
        return std::nullopt;
    }

    QStringList statuses() const {
        QStringList list;
        for (const Report& r : reports)
            list << r.status;
        return list;
    }

    bool reported(const QString& prefix) const {
        for (const Report& r : reports)
            if (r.status.startsWith(prefix))
                return true;
        return false;
    }

    std::optional<double> fractionOf(const QString& status) const {
        for (const Report& r : reports)
            if (r.status == status)
                return r.fraction;
        return std::nullopt;
    }

    SimSession session() { return sim->logic().session(); }
    void TearDown() override {
        if (qEnvironmentVariable("VANTREL_SEND_LOG") == u"failed" && HasFailure())
            for (const Report& r : reports)
                fprintf(stderr, "%s\n", qPrintable(r.status));
    }

    // Verifies the session the jobs should have built: one summing stack per group, named after
    // it and holding exactly its tracks, coloured with its cell (stack and members), the stacks
    // in job order and folded as asked, the unsorted tracks outside any stack, and no track
    // without audio.
    // The top-level order is checked too: the stacks in job order, then the unsorted tracks
    // in the order of their job; and every track plays a file of its own job.
    void expectSessionBuilt(const QList<SendJob>& jobs, bool folded, bool coloured = true) {
        const SimSession s = session();
        QStringList stacks, topLevel;
        for (const SimTrack& t : s.tracks) {
            if (t.isStack)
                stacks << t.name;
            else
                EXPECT_TRUE(t.hasAudio) << "empty track " << t.name.toStdString();
            if (!t.stack)
                topLevel << t.name;
        }
        QStringList wanted, wantedTop;
        for (const SendJob& job : jobs)
            if (job.group)
                wanted << *job.group;
        wantedTop = wanted;
        for (const SendJob& job : jobs)
            if (!job.group)
                wantedTop += memberNames(job);
        EXPECT_EQ(stacks, wanted);
        EXPECT_EQ(topLevel, wantedTop) << "the order of the stacks and the loose tracks";
        expectFilesInTheirPlaces(jobs);

        for (const SendJob& job : jobs) {
            const auto [members, expected] = heldAndSent(s, job);
            EXPECT_EQ(members, expected)
                << "members of " << job.group.value_or("(none)").toStdString();
            if (!job.group)
                continue;
            for (const SimTrack& t : s.tracks) {
                // The stack's own row and its members; a loose track may carry the name too.
                if (!(t.isStack && t.name == *job.group) && t.stack != job.group)
                    continue;
                if (t.isStack) {
                    EXPECT_TRUE(t.summing) << t.name.toStdString();
                    EXPECT_EQ(t.folded, folded) << t.name.toStdString();
                }
                const auto cell =
                    job.color && coloured
                        ? std::optional<std::pair<int, int>>({job.color->col, job.color->row})
                        : std::nullopt;
                EXPECT_EQ(t.color, cell) << "colour of " << t.name.toStdString();
            }
        }
    }

    // Every track that plays a file stands where that file's job puts it: in the job's stack,
    // or outside every stack for the unsorted job.
    void expectFilesInTheirPlaces(const QList<SendJob>& jobs) {
        for (const SimTrack& t : session().tracks) {
            if (t.isStack || t.file.isEmpty())
                continue;
            for (const SendJob& job : jobs) {
                if (job.files.contains(t.file)) {
                    EXPECT_EQ(t.stack, job.group) << t.file.toStdString();
                }
            }
        }
    }

    QTemporaryDir dir;
    VirtualClock clock{10s};
    std::unique_ptr<SimPlatform> sim;
    std::unique_ptr<LogicSender> sender;
    QList<Report> reports;
    std::function<bool(const QString&)> cancelWhen;
};

} // namespace Vantrel::SenderTesting
