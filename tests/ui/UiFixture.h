#pragma once

// The window on the application model of AppModelFixture (simulated Logic Pro, virtual clock,
// small rules), shown on the offscreen platform, with helpers to find its controls by object
// name or visible text and to read colours back from rendered pixels.

#include "app/AppModelFixture.h"
#include "support/FaultyFileOps.h"
#include "ui/BusyView.h"
#include "ui/ContentView.h"
#include "ui/MainWindow.h"
#include "ui/ReviewView.h"
#include "ui/Theme.h"
#include "ui/Widgets.h"

#include <QApplication>
#include <QImage>
#include <QLabel>
#include <QTest>

namespace Vantrel::UiTesting {

using namespace AppTesting;

class UiFixture : public AppModelFixture {
protected:
    void SetUp() override {
        AppModelFixture::SetUp();
        QApplication::setPalette(Ui::lightPalette());
        open();
    }

    void TearDown() override {
        close();
        AppModelFixture::TearDown();
    }

    // A new model and window, as at a start of the application.
    void open() {
        model = std::make_unique<AppModel>(services(fileOps));
        window = std::make_unique<Ui::MainWindow>(*model);
        window->show();
        ASSERT_TRUE(QTest::qWaitForWindowExposed(window.get()));
        window->activateWindow();
        EXPECT_TRUE(QTest::qWaitForWindowActive(window.get(), 2000));
    }

    void close() {
        finishWork();
        window.reset();
        model.reset();
    }

    Ui::ContentView& content() { return *window->content(); }

    template <typename T = QWidget> T* child(const char* name) {
        T* found = window->findChild<T*>(QString::fromLatin1(name));
        EXPECT_NE(found, nullptr) << name;
        return found;
    }

    QString text(const char* name) { return child<QLabel>(name)->text(); }

    // Loads a folder through the model and waits until the review shows.
    void loadShown(const QString& folder) {
        loadAndWait(*model, folder);
        QCoreApplication::processEvents();
    }

    // The colour of one pixel of a widget as drawn now.
    static QColor pixel(QWidget* widget, QPointF at) {
        const QImage image = widget->grab().toImage();
        return image.pixelColor(at.toPoint());
    }

    // File operations a test can hold at a chosen point; outlives the model.
    FaultyFileOps faulty;
    FileOps* fileOps = &systemFileOps();
    std::unique_ptr<AppModel> model;
    std::unique_ptr<Ui::MainWindow> window;
};

// The 24-track session of the review's worked example: 21 tracks the small rules sort, 3 they do
// not, and 2 text files.
inline QStringList exampleSession() {
    QStringList names;
    for (int i = 1; i <= 8; ++i)
        names << QStringLiteral("%1Kick In#0%2.wav").arg(i).arg(i % 10);
    for (int i = 9; i <= 14; ++i)
        names << QStringLiteral("%1Snare Top.wav").arg(i);
    for (int i = 15; i <= 18; ++i)
        names << QStringLiteral("%1Bass DI.wav").arg(i);
    for (int i = 19; i <= 21; ++i)
        names << QStringLiteral("%1Vox Lead.wav").arg(i);
    names << QStringLiteral("22Glock.wav") << QStringLiteral("23Theremin.wav")
          << QStringLiteral("24Room Noise.wav");
    names << QStringLiteral("notes.txt") << QStringLiteral("setlist.txt");
    return names;
}

} // namespace Vantrel::UiTesting
