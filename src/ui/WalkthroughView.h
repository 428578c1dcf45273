#pragma once

#include <QDialog>
#include <QPixmap>
#include <QUrl>

class QAbstractButton;
class QTimer;
class QVariantAnimation;

namespace Vantrel {
class WalkthroughHost;
}

namespace Vantrel::Ui {

class PillButton;
class SymbolView;
class ThemeLabel;

// The walkthrough: a sheet of 640 × 500 with five pages (welcome, sorting, the permission, before
// sending, ready), cross-faded from one to the next, and a navigation bar with Skip, the page
// dots, Back and Continue / Get Started (Return). Escape does not close it; Skip and Get Started
// record that it was finished and close it. While shown it asks the platform every second
// whether this program has the accessibility permission, and the permission page follows.
class WalkthroughView : public QDialog {
    Q_OBJECT

public:
    static constexpr int sheetWidth = 640;
    static constexpr int sheetHeight = 500;
    static constexpr int pageCount = 5;
    // How often the permission is asked for while the walkthrough is shown, in milliseconds.
    static constexpr int pollInterval = 1000;
    // How long a change of page cross-fades, in milliseconds.
    static constexpr int fadeDuration = 350;

    // The address that opens the system's settings at Privacy & Security > Accessibility.
    static QUrl accessibilitySettingsUrl();

    explicit WalkthroughView(WalkthroughHost& model, QWidget* parent = nullptr);

    int page() const { return page_; }
    // Whether the last question to the platform found the permission.
    bool trusted() const { return trusted_; }
    QTimer* ticker() const { return ticker_; }
    // The page's content widget now shown.
    QWidget* pageWidget() const { return pageWidget_; }
    // The old page while it fades out, or null.
    bool fading() const;

    // The navigation: one page on or back (with the cross-fade), and the end (Skip, Get Started).
    void next();
    void back();
    void finish();
    // "Open System Settings": asks the system for the permission and opens its settings.
    void openSystemSettings();

public slots:
    // Escape and the like do not close the walkthrough.
    void reject() override {}

protected:
    void paintEvent(QPaintEvent* event) override;
    void keyPressEvent(QKeyEvent* event) override;
    void closeEvent(QCloseEvent* event) override;
    void showEvent(QShowEvent* event) override;
    void hideEvent(QHideEvent* event) override;
    void changeEvent(QEvent* event) override;
    void resizeEvent(QResizeEvent* event) override;

private:
    void showPage(bool animated);
    QWidget* makePage(int page);
    void poll();
    void showPermission();
    void updateNavigation();

    WalkthroughHost& model_;
    int page_ = 0;
    bool trusted_;
    // Polls answered "not trusted" since System Settings was opened (-1: not opened). macOS can
    // keep that answer after the switch is turned on until Vantrel starts again; after
    // restartHintPolls the page says so.
    int pollsUnanswered_ = -1;
    static constexpr int restartHintPolls = 10;
    bool finishing_ = false;
    QTimer* ticker_;

    QWidget* pageArea_;
    QWidget* pageWidget_ = nullptr;
    QWidget* fadeOverlay_;
    QPixmap fadePixmap_;
    qreal fadeOpacity_ = 0;
    QVariantAnimation* fade_;

    QAbstractButton* skip_;
    QWidget* dots_;
    PillButton* back_;
    PillButton* forward_;

    // The parts of the permission page that follow the permission (null on other pages).
    SymbolView* shield_ = nullptr;
    SymbolView* statusIcon_ = nullptr;
    ThemeLabel* statusLabel_ = nullptr;
    PillButton* settingsButton_ = nullptr;

    friend class FadeOverlay;
};

} // namespace Vantrel::Ui
