#pragma once

// The main window with its sheets on the application model of AppModelFixture, opened and closed
// as a launch of the application would, with helpers to reach the rules editor and the
// walkthrough.

#include "app/AppModelFixture.h"
#include "app/Settings.h"
#include "ui/MainWindow.h"
#include "ui/RulesView.h"
#include "ui/Sheets.h"
#include "ui/Theme.h"
#include "ui/WalkthroughView.h"

#include <QApplication>
#include <QTest>

namespace Vantrel::UiTesting {

using namespace AppTesting;

class SheetFixture : public AppModelFixture {
protected:
    void SetUp() override {
        AppModelFixture::SetUp();
        QApplication::setPalette(Ui::lightPalette());
    }

    void TearDown() override {
        close();
        AppModelFixture::TearDown();
    }

    // A launch: a new model and window, shown, with the sheets it opens by itself.
    void open() {
        model = std::make_unique<AppModel>(services());
        window = std::make_unique<Ui::MainWindow>(*model);
        window->show();
        ASSERT_TRUE(QTest::qWaitForWindowExposed(window.get()));
        QCoreApplication::processEvents();
    }

    // A launch of a user who has seen the walkthrough.
    void openPastWalkthrough() {
        Settings::setWalkthroughDone(true);
        open();
    }

    void close() {
        finishWork();
        window.reset();
        model.reset();
        QCoreApplication::processEvents();
    }

    Ui::Sheets& sheets() {
        auto* found = window->findChild<Ui::Sheets*>();
        EXPECT_NE(found, nullptr);
        return *found;
    }

    // Opens the rules editor as "Rules…" does and waits until it is shown.
    Ui::RulesView* openRules() {
        model->setShowRules(true);
        Ui::RulesView* view = sheets().rulesView();
        EXPECT_NE(view, nullptr);
        if (view) {
            EXPECT_TRUE(QTest::qWaitForWindowExposed(view));
        }
        return view;
    }

    template <typename T = QWidget> static T* child(QWidget* parent, const char* name) {
        T* found = parent->findChild<T*>(QString::fromLatin1(name));
        EXPECT_NE(found, nullptr) << name;
        return found;
    }

    std::unique_ptr<AppModel> model;
    std::unique_ptr<Ui::MainWindow> window;
};

} // namespace Vantrel::UiTesting
