// Verifies that the messages of the libraries below the window (files, session export, the
// sender) reach the window in German when the German translation is loaded: each is one
// translated sentence with its names and numbers filled in, its counts in the German plural.

#include "automation/LogicSender.h"
#include "automation/SendJobs.h"
#include "core/Errors.h"
#include "core/FileOps.h"
#include "platform/Clock.h"
#include "platform/sim/SimPlatform.h"
#include "sessions/Destination.h"

#include <QCoreApplication>
#include <QTranslator>

#include <gtest/gtest.h>

#include <cerrno>
#include <cstring>

using namespace Vantrel;

namespace {

// The window's German translation, installed for one test and removed after it, so that the
// other tests keep the English the test main installed.
class GermanTexts : public testing::Test {
protected:
    void SetUp() override {
        ASSERT_TRUE(german.load(QStringLiteral("vantrel_de"), QStringLiteral(":/i18n")));
        ASSERT_TRUE(QCoreApplication::installTranslator(&german));
    }
    void TearDown() override { QCoreApplication::removeTranslator(&german); }

    QTranslator german;
};

QString systemReason(int code) {
    return QString::fromLocal8Bit(std::strerror(code));
}

SendJob job(const std::optional<QString>& group, int files) {
    SendJob j{group, {}, std::nullopt};
    for (int i = 0; i < files; ++i)
        j.files << QStringLiteral("/session/%1.wav").arg(i);
    return j;
}

} // namespace

TEST_F(GermanTexts, fileErrorsAreGermanSentencesWithTheirPathsAndTheSystemsReason) {
    EXPECT_EQ(operationError(FileOp::remove, QStringLiteral("/s/Kick.wav"), {}, ENOENT).message(),
              QStringLiteral("„/s/Kick.wav“ konnte nicht entfernt werden: %1.")
                  .arg(systemReason(ENOENT)));
    EXPECT_EQ(operationError(FileOp::move, QStringLiteral("/s/Kick.wav"),
                             QStringLiteral("/s/01_DRUMS/01_KICK.wav"), EACCES)
                  .message(),
              QStringLiteral("„/s/Kick.wav“ konnte nicht nach „/s/01_DRUMS/01_KICK.wav“ bewegt "
                             "werden: %1.")
                  .arg(systemReason(EACCES)));
    EXPECT_EQ(CancelledError().message(), QStringLiteral("Abgebrochen."));
}

TEST_F(GermanTexts, aSessionExportRefusalIsAGermanSentenceForItsKindOfSession) {
    const QString target = QStringLiteral("/no/such/folder/Song.dawproject");
    try {
        Sessions::checkDestination(target, Sessions::SessionKind::dawprojectFile);
        FAIL() << "a destination in a missing folder was accepted";
    } catch (const Error& e) {
        EXPECT_EQ(e.message(), QStringLiteral("Der Ordner „/no/such/folder“ existiert nicht, daher "
                                              "kann die DAWproject-Datei dort nicht erstellt "
                                              "werden."));
    }
}

TEST_F(GermanTexts, theSendersResultCountsInGermanPlurals) {
    const struct {
        QList<SendJob> jobs;
        const char* text;
    } rows[] = {
        {{job(QStringLiteral("DRUMS"), 1)}, "1 Spur und 1 Spurstapel an Logic gesendet."},
        {{job(QStringLiteral("DRUMS"), 2), job(QStringLiteral("BASS"), 1), job(std::nullopt, 3)},
         "6 Spuren und 2 Spurstapel an Logic gesendet."},
    };
    for (const auto& row : rows)
        EXPECT_EQ(sentText(row.jobs), QString::fromUtf8(row.text));
}

TEST_F(GermanTexts, aSendFailureReachesTheWindowInGerman) {
    VirtualClock clock;
    SimPlatform sim(clock, {QStringLiteral("not-running")});
    LogicSender sender(sim);
    const SendOutcome outcome =
        sender.send(SendMode::fast, {job(QStringLiteral("DRUMS"), 2)}, false);
    EXPECT_FALSE(outcome.ok);
    EXPECT_EQ(outcome.result,
              QStringLiteral("Öffnen Sie zuerst Logic Pro mit einem leeren Projekt."));
}
