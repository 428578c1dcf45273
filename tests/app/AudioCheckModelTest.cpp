// The model's audio checks: the content pass runs after the review is shown and is cancelled
// when the user leaves the review; nothing of a cancelled pass is published.

#include "AppModelFixture.h"
#include "core/AudioFacts.h"

#include <atomic>

namespace Vantrel::AppTesting {
namespace {

// Every file reads as a 48 kHz header; the samples of every file are silence, handed out only
// once the test opens the gate. The reader ignores the cancel on purpose: the model itself must
// drop what a cancelled pass still delivers.
class GatedReader : public AudioReader {
public:
    AudioHeader header(const QString&) const override {
        return {
            .readable = true, .sampleRate = 48000, .channels = 1, .bitDepth = 24, .frames = 48000};
    }
    std::optional<AudioContent> content(const QString&,
                                        const std::function<bool()>&) const override {
        gate.pass();
        ++reads;
        return AudioContent{};
    }
    mutable Gate gate;
    mutable std::atomic<int> reads{0};
};

QStringList allFiles(const QList<AudioFinding>& findings) {
    QStringList files;
    for (const AudioFinding& f : findings)
        files << f.files;
    return files;
}

class AudioCheckModel : public AppModelFixture {
protected:
    AppModel::Services audioServices() {
        AppModel::Services s = services();
        s.audio = &reader;
        return s;
    }
    GatedReader reader;
};

TEST_F(AudioCheckModel, ThePassPublishesItsFindingsWhenTheReviewStays) {
    AppModel model(audioServices());
    const QString folder = makeFolder("session", {"Kick.wav", "Snare.wav", "Vox.wav"});
    loadAndWait(model, folder);
    EXPECT_TRUE(model.review().audioChecking());
    EXPECT_EQ(model.review().audioToCheck(), 3);
    EXPECT_TRUE(model.review().findings().isEmpty());
    reader.gate.open();
    ASSERT_TRUE(QTest::qWaitFor([&model] { return !model.review().audioChecking(); }, kTimeoutMs));
    EXPECT_EQ(model.review().audioChecked(), 3);
    ASSERT_EQ(model.review().findings().size(), 1);
    EXPECT_EQ(model.review().findings()[0].kind, QStringLiteral("silent"));
    EXPECT_EQ(model.review().findings()[0].files,
              (QStringList{"Kick.wav", "Snare.wav", "Vox.wav"}));
    EXPECT_EQ(model.review().findingsFor(QStringLiteral("Vox.wav")),
              QStringList{model.review().findings()[0].text});
}

TEST_F(AudioCheckModel, LeavingTheReviewCancelsThePassAndPublishesNothingAfter) {
    struct Case {
        const char* name;
        std::function<void(AppModel&)> leave;
    };
    const std::vector<Case> cases = {
        {"reset", [](AppModel& m) { m.approval().reset(); }},
        {"approval", [](AppModel& m) { approveAndWait(m); }},
        {"another folder",
         [this](AppModel& m) { loadAndWait(m, makeFolder("other", {"Bass.wav"})); }},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.name);
        GatedReader gated;
        AppModel::Services s = services();
        s.audio = &gated;
        AppModel model(s);
        const QString folder = makeFolder(QStringLiteral("session-%1").arg(c.name),
                                          {"Kick.wav", "Snare.wav", "Vox.wav"});
        loadAndWait(model, folder);
        ASSERT_TRUE(model.review().audioChecking());
        ASSERT_TRUE(QTest::qWaitFor([&gated] { return gated.gate.reached(); }, kTimeoutMs));

        auto findings =
            record<QList<AudioFinding>>(model, model.review(), &ReviewSession::findingsChanged,
                                        [](const AppModel& m) { return m.review().findings(); });
        c.leave(model);
        EXPECT_EQ(model.review().audioChecked(), 0);
        // From here on the cancelled pass has nothing to say.
        int emitted = 0;
        for (auto signal : {&ReviewSession::findingsChanged, &ReviewSession::audioCheckChanged})
            QObject::connect(&model.review(), signal, &model, [&emitted] { ++emitted; });
        gated.gate.open();
        finishWork();
        finishWork();
        // The first file was read after the cancel and its result dropped; the pass stopped.
        EXPECT_GE(gated.reads.load(), 1);
        for (const QList<AudioFinding>& value : *findings)
            for (const QString& file : allFiles(value))
                EXPECT_FALSE(QStringList({"Kick.wav", "Snare.wav", "Vox.wav"}).contains(file))
                    << file.toStdString();
        for (const QString& file : allFiles(model.review().findings()))
            EXPECT_FALSE(QStringList({"Kick.wav", "Snare.wav", "Vox.wav"}).contains(file))
                << file.toStdString();
        if (QString(c.name) == "another folder") {
            // The new folder's own pass ran to its end.
            EXPECT_EQ(allFiles(model.review().findings()), QStringList{"Bass.wav"});
        } else {
            EXPECT_FALSE(model.review().audioChecking());
            EXPECT_EQ(model.review().audioChecked(), 0);
            EXPECT_EQ(emitted, 0);
        }
    }
}

} // namespace
} // namespace Vantrel::AppTesting
