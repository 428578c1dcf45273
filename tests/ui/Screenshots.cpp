// vantrel-screenshots: renders every screen and state of the window at 2× in the light and the
// dark appearance to PNG files, headless, for a person to look at.
// Usage: vantrel-screenshots OUTPUT_FOLDER   (run with QT_QPA_PLATFORM=offscreen)
#include "app/AppModel.h"
#include "app/Worker.h"
#include "audio/SndfileReader.h"
#include "core/Config.h"
#include "platform/sim/SimPlatform.h"
#include "platform/sim/SimSystemSettings.h"
#include "support/AudioFiles.h"
#include "support/FaultyFileOps.h"
#include "support/TestEnvironment.h"
#include "support/TestFiles.h"
#include "ui/BusyView.h"
#include "ui/ColorPick.h"
#include "ui/ContentView.h"
#include "ui/MainWindow.h"
#include "ui/RulesView.h"
#include "ui/Sheets.h"
#include "ui/SimSettingsWindow.h"
#include "ui/Theme.h"
#include "ui/Translations.h"
#include "ui/WalkthroughView.h"
#include "ui/Widgets.h"

#include <QAbstractButton>
#include <QApplication>
#include <QDialog>
#include <QDir>
#include <QDragEnterEvent>
#include <QFile>
#include <QMessageBox>
#include <QMimeData>
#include <QPainter>
#include <QSettings>
#include <QTest>

#include <condition_variable>
#include <cstdio>
#include <functional>
#include <mutex>

using namespace Vantrel;
using namespace std::chrono_literals;

namespace {

// Holds the export's worker at one file operation until released.
class Gate {
public:
    void pass() {
        std::unique_lock lock(mutex_);
        reached_ = true;
        opened_.wait(lock, [this] { return open_; });
    }
    bool reached() {
        std::lock_guard lock(mutex_);
        return reached_;
    }
    void open() {
        {
            std::lock_guard lock(mutex_);
            open_ = true;
        }
        opened_.notify_all();
    }

private:
    std::mutex mutex_;
    std::condition_variable opened_;
    bool reached_ = false;
    bool open_ = false;
};

void touch(const QString& folder, const QStringList& names) {
    QDir().mkpath(folder);
    for (const QString& name : names) {
        QFile f(folder + QLatin1Char('/') + name);
        if (!f.open(QIODevice::WriteOnly))
            std::fprintf(stderr, "cannot write %s\n", qPrintable(f.fileName()));
    }
}

bool settle(const std::function<bool()>& done) {
    const bool ok = QTest::qWaitFor(done, 20000);
    QTest::qWait(50);
    return ok;
}

// The window grabbed as it is now, with an open alert drawn over it as its sheet: a card with
// the alert's title above its content (the offscreen platform draws no window frames).
QImage shot(Ui::MainWindow& window) {
    QCoreApplication::processEvents();
    QImage image = window.grab().toImage();
    if (QMessageBox* alert = window.content()->alert(); alert && alert->isVisible()) {
        alert->adjustSize();
        const QImage sheet = alert->grab().toImage();
        const qreal dpr = image.devicePixelRatio();
        const QSizeF size = QSizeF(sheet.size()) / sheet.devicePixelRatio();
        const qreal titleHeight = 30;
        const QRectF card((image.width() / dpr - size.width()) / 2, 70, size.width(),
                          size.height() + titleHeight);
        QPainter p(&image);
        p.setRenderHint(QPainter::Antialiasing);
        p.setPen(QPen(QColor(0, 0, 0, 60), 1));
        p.setBrush(alert->palette().color(QPalette::Window));
        p.drawRoundedRect(card.adjusted(-0.5, -0.5, 0.5, 0.5), 10, 10);
        p.setPen(alert->palette().color(QPalette::WindowText));
        p.setFont(Ui::systemFont(13, QFont::Bold));
        p.drawText(QRectF(card.left(), card.top(), card.width(), titleHeight), Qt::AlignCenter,
                   alert->windowTitle());
        p.drawImage(QPointF(card.left(), card.top() + titleHeight), sheet);
    }
    return image;
}

// The window with a sheet over it, as a sheet hangs from the top of the window's content, and the
// popup shown from the sheet (a colour popover) drawn where it stands.
QImage sheetShot(Ui::MainWindow& window, QWidget* sheet, QWidget* popup = nullptr) {
    QImage image = shot(window);
    const qreal dpr = image.devicePixelRatio();
    const QPointF at((image.width() / dpr - sheet->width()) / 2, 0);
    QPainter p(&image);
    p.fillRect(QRectF(0, 0, image.width() / dpr, image.height() / dpr), QColor(0, 0, 0, 40));
    p.setRenderHint(QPainter::Antialiasing);
    p.setPen(QPen(QColor(0, 0, 0, 70), 1));
    p.drawRect(QRectF(at, QSizeF(sheet->size())).adjusted(-0.5, -0.5, 0.5, 0.5));
    p.drawImage(at, sheet->grab().toImage());
    if (popup && popup->isVisible())
        p.drawImage(
            at + QPointF(popup->mapToGlobal(QPoint(0, 0)) - sheet->mapToGlobal(QPoint(0, 0))),
            popup->grab().toImage());
    return image;
}

struct Session {
    QTemporaryDir root;
    VirtualClock clock{10s};
    SimPlatform sim{clock};
    FaultyFileOps ops;
    std::unique_ptr<AppModel> model;
    std::unique_ptr<Ui::MainWindow> window;

    // The sessions of empty files are shot without audio checks, which would find every one of
    // them unreadable; the audio checks' own session has real files.
    explicit Session(const AudioReader* audio = nullptr) {
        QSettings(QStringLiteral("Vantrel"), QStringLiteral("Vantrel")).clear();
        model = std::make_unique<AppModel>(
            AppModel::Services{.platform = &sim, .fileOps = &ops, .audio = audio});
        model->setShowWalkthrough(false);
        window = std::make_unique<Ui::MainWindow>(*model);
        window->resize(900, 640);
        window->show();
        (void)QTest::qWaitForWindowExposed(window.get());
    }
    ~Session() {
        Worker::waitUntilIdle();
        QCoreApplication::processEvents();
        window.reset();
        model.reset();
    }
    QString folder(const QString& name, const QStringList& files) {
        const QString path = root.filePath(name);
        touch(path, files);
        return path;
    }
    void load(const QString& path) {
        model->review().load(path);
        settle([this] { return !model->busyState().busy(); });
    }
};

const QStringList sessionFiles{
    "1Kick In#04.1.wav",
    "2Kick Out#04.1.wav",
    "3Snare Top#04.1.wav",
    "4Snare Bottom#04.1.wav",
    "5Hi Hat#04.1.wav",
    "6Tom 1#04.1.wav",
    "12Bass DI#04.1.wav",
    "13Bass Amp#04.1.wav",
    "14Electric Gtr 1#04.1.wav",
    "17Piano L#04.1.wav",
    "18Piano R#04.1.wav",
    "37Vox 1#03.1.wav",
    "38Vox 2#03.1.wav",
    "39BGV L#03.1.wav",
    "70Glockenspiel Overdub From The Second Evening Session With Extra Long Name.wav",
    "71Theremin.wav",
    "72Sitar.wav",
    "Session Notes.txt",
    "setlist.txt"};
// Names as real sessions write them: most need a group, the suggestions place them.
const QStringList suggestedFiles{"01_KickIn.wav",      "02_SnareUp.wav",  "03_SnareDown.wav",
                                 "04_HiHat.wav",       "05_Tom1.wav",     "06_OHs.wav",
                                 "07_BassDI.wav",      "08_ElecGtr1.wav", "09_ElecGtr2DI.wav",
                                 "10_AcousticGtr.wav", "11_Keys_L.wav",   "12_LeadVox.wav",
                                 "13_BVs.wav",         "14_Quattro.wav",  "15_Trumpet.wav"};
const QStringList sortedFiles{"1Kick In#04.1.wav",  "3Snare Top#04.1.wav",
                              "12Bass DI#04.1.wav", "14Electric Gtr 1#04.1.wav",
                              "17Piano L#04.1.wav", "37Vox 1#03.1.wav"};

// The real reader, whose content pass waits at a gate until the test opens it.
class GatedAudio : public AudioReader {
public:
    AudioHeader header(const QString& path) const override {
        return Audio::sndfileReader().header(path);
    }
    std::optional<AudioContent> content(const QString& path,
                                        const std::function<bool()>& cancelled) const override {
        gate.pass();
        return Audio::sndfileReader().content(path, cancelled);
    }
    mutable Gate gate;
};

// A session of real WAV files with accidents planted: one file at 44.1 kHz, a silent one, a
// dual-mono one and a clipped one among 48 kHz tones.
QString audioSession(const QString& folder) {
    using Fixtures::tone;
    QDir().mkpath(folder);
    const auto write = [&folder](const char* name, Fixtures::AudioShape shape) {
        Fixtures::writeAudio(QDir(folder).filePath(QString::fromUtf8(name)), shape);
    };
    write("1Kick In#04.1.wav", {.sample = tone(0.5, 60)});
    write("3Snare Top#04.1.wav", {.sample = tone(0.4, 200)});
    write("5Hi Hat#04.1.wav", {.sample = [](int, int) { return 0.0; }});
    write("12Bass DI#04.1.wav", {.sample = tone(2.0, 80)});
    write("14Electric Gtr 1#04.1.wav", {.sampleRate = 44100, .frames = 4410, .sample = tone(0.5)});
    write("17Piano L#04.1.wav", {.channels = 2, .sample = tone(0.3)});
    write("37Vox 1#03.1.wav", {.sample = tone(0.3, 300)});
    write("38Vox 2#03.1.wav", {.sample = tone(0.3, 320)});
    return folder;
}

} // namespace

// The screens of a send (SendScreenshots.cpp), each saved under its name.
void shootSendScreens(const std::function<void(const QImage&, const QString&)>& save);

int main(int argc, char** argv) {
    // The language asked for, before the test environment sets the C locale.
    const QString language =
        QString::fromLocal8Bit(qgetenv("LANG")).section(QLatin1Char('.'), 0, 0);
    QTemporaryDir home;
    if (!Fixtures::prepareTestEnvironment(home))
        return 2;
    qputenv("QT_SCALE_FACTOR", "2");
    // Headless unless told otherwise (test discovery runs the executable without a display).
    if (qEnvironmentVariableIsEmpty("QT_QPA_PLATFORM"))
        qputenv("QT_QPA_PLATFORM", "offscreen");
    QApplication app(argc, argv);
    // The window in the language of LANG, as the program shows it.
    Ui::installTranslations(app, QLocale(language));
    Ui::useInterfaceFont();
    Ui::useThemeStyle();
    if (argc < 2) {
        std::fprintf(stderr, "usage: vantrel-screenshots OUTPUT_FOLDER\n");
        return 2;
    }
    const QString out = QDir(QString::fromLocal8Bit(argv[1])).absolutePath();
    QDir().mkpath(out);
    int failures = 0;
    const auto save = [&](const QImage& image, const QString& name, bool dark) {
        const QString path = QStringLiteral("%1/%2-%3.png").arg(out, name, dark ? "dark" : "light");
        if (!image.save(path)) {
            std::fprintf(stderr, "cannot write %s\n", qPrintable(path));
            ++failures;
        } else {
            std::printf("%s\n", qPrintable(path));
        }
    };

    for (const bool dark : {false, true}) {
        QApplication::setPalette(dark ? Ui::darkPalette() : Ui::lightPalette());
        {
            Session s;
            save(shot(*s.window), "drop-zone", dark);
            QMimeData data;
            data.setUrls({QUrl::fromLocalFile(s.folder("Dragged", sortedFiles))});
            QDragEnterEvent enter(QPoint(300, 300), Qt::CopyAction, &data, Qt::LeftButton,
                                  Qt::NoModifier);
            QCoreApplication::sendEvent(s.window->content(), &enter);
            save(shot(*s.window), "drop-targeted", dark);
            QDragLeaveEvent leave;
            QCoreApplication::sendEvent(s.window->content(), &leave);
            s.model->review().load(s.root.filePath("Dragged/1Kick In#04.1.wav"));
            save(shot(*s.window), "alert", dark);
        }
        {
            Session s;
            s.load(s.folder("Live at the Roundhouse", sessionFiles));
            save(shot(*s.window), "review-unsorted-skipped", dark);
            s.model->approval().setOrganizeInPlace(false);
            save(shot(*s.window), "review-sorted-copy-mode", dark);
        }
        {
            Session s;
            s.load(s.folder("Rehearsal Tapes", suggestedFiles));
            save(shot(*s.window), "review-suggestions", dark);
            s.model->review().acceptSuggestion(s.model->review().items().first().id);
            save(shot(*s.window), "review-suggestion-learn", dark);
        }
        {
            GatedAudio audio;
            Session s(&audio);
            s.load(audioSession(s.root.filePath("Festival Night")));
            save(shot(*s.window), "review-audio-checking", dark);
            audio.gate.open();
            settle([&s] { return !s.model->review().audioChecking(); });
            save(shot(*s.window), "review-audio-findings", dark);
            auto* button = s.window->findChild<QAbstractButton*>(QStringLiteral("findingsButton"));
            if (button) {
                button->click();
                settle([&s] { return s.window->findChild<QDialog*>("findingsSheet") != nullptr; });
                auto* sheet = s.window->findChild<QDialog*>("findingsSheet");
                if (sheet) {
                    save(sheetShot(*s.window, sheet), "review-audio-findings-sheet", dark);
                    sheet->accept();
                }
            }
        }
        {
            Session s;
            s.load(s.folder("Studio Day 2", sortedFiles));
            save(shot(*s.window), "review-all-sorted", dark);
            s.model->approval().setOrganizeInPlace(false);
            Gate gate;
            s.ops.countOnly({FileOp::clone, FileOp::copy});
            s.ops.beforeOperation(3, [&gate] { gate.pass(); });
            s.model->approval().approve();
            settle([&gate] { return gate.reached(); });
            save(shot(*s.window), "busy-determinate", dark);
            gate.open();
            settle([&s] { return !s.model->busyState().busy(); });
            save(shot(*s.window), "done", dark);
        }
        {
            Session s;
            s.load(s.folder("Take 3", sortedFiles));
            s.model->approval().setOrganizeInPlace(true);
            s.model->approval().approve();
            settle(
                [&s] { return !s.model->busyState().busy() && s.model->approval().resultURL(); });
            Gate gate;
            s.ops.beforeOperation(s.ops.operationCount() + 1, [&gate] { gate.pass(); });
            s.model->approval().undoOrganize();
            settle([&gate] { return gate.reached(); });
            s.window->content()->busyView()->progressBar()->setPhase(0.45);
            save(shot(*s.window), "busy-moving", dark);
            gate.open();
            settle([&s] { return !s.model->busyState().busy(); });
        }
        {
            Session s;
            const QString folder = s.folder("Organized Before", sortedFiles);
            s.load(folder);
            s.model->approval().setOrganizeInPlace(true);
            s.model->approval().approve();
            settle(
                [&s] { return !s.model->busyState().busy() && s.model->approval().resultURL(); });
            s.model->approval().reset();
            // A track recorded since: the review offers to sort it in beside the put-back.
            Fixtures::touchAll(folder, {"31Shaker.wav"});
            s.load(folder);
            save(shot(*s.window), "review-organized-folder", dark);
            // Opened again without new tracks: ready to send.
            QFile::remove(folder + QStringLiteral("/31Shaker.wav"));
            s.model->approval().reset();
            s.load(folder);
            save(shot(*s.window), "done-opened-again", dark);
        }
        shootSendScreens(
            [&](const QImage& image, const QString& name) { save(image, name, dark); });
    }
    // The rules editor and the walkthrough.
    for (const bool dark : {false, true}) {
        QApplication::setPalette(dark ? Ui::darkPalette() : Ui::lightPalette());
        {
            Session s;
            s.model->setShowRules(true);
            settle([&s] { return s.window->findChild<Ui::RulesView*>() != nullptr; });
            auto* rules = s.window->findChild<Ui::RulesView*>();
            rules->addGroup();
            QCoreApplication::processEvents(); // the rows replaced go
            QCoreApplication::sendPostedEvents(nullptr, QEvent::DeferredDelete);
            save(sheetShot(*s.window, rules), "rules", dark);
            auto* drums = rules->findChild<Ui::ColorPick*>(QStringLiteral("colorPick"));
            drums->click();
            settle([drums] { return drums->isOpen(); });
            save(sheetShot(*s.window, rules, drums->popover()), "rules-color-popover", dark);
            drums->popover()->hide();
        }
        {
            Session s;
            s.sim.logic().setQuirk(QStringLiteral("not-trusted"), true);
            s.model->setShowWalkthrough(true);
            settle([&s] { return s.window->findChild<Ui::WalkthroughView*>() != nullptr; });
            auto* walkthrough = s.window->findChild<Ui::WalkthroughView*>();
            const char* names[] = {"walkthrough-0-welcome", "walkthrough-1-sorting",
                                   "walkthrough-2-permission", "walkthrough-3-before-sending",
                                   "walkthrough-4-ready"};
            for (int page = 0; page < Ui::WalkthroughView::pageCount; ++page) {
                settle([walkthrough] { return !walkthrough->fading(); });
                save(sheetShot(*s.window, walkthrough), QString::fromLatin1(names[page]), dark);
                if (page == 2) {
                    s.sim.logic().setQuirk(QStringLiteral("not-trusted"), false);
                    settle([walkthrough] { return walkthrough->trusted(); });
                    save(sheetShot(*s.window, walkthrough), "walkthrough-2-permission-allowed",
                         dark);
                }
                walkthrough->next();
            }
        }
    }
    // The simulated System Settings keep the system's own look.
    {
        QApplication::setPalette(Ui::lightPalette());
        QTemporaryDir dir;
        SimSystemSettings system(dir.filePath(QStringLiteral("system-settings.json")));
        Ui::SimSettingsWindow settings(system);
        settings.show();
        (void)QTest::qWaitForWindowExposed(&settings);
        save(settings.grab().toImage(), "system-settings-off", false);
        system.setAccessibilityAllowed(SimSystemSettings::programName(), true);
        settle([] { return true; });
        save(settings.grab().toImage(), "system-settings-on", false);
    }
    return failures == 0 ? 0 : 1;
}
