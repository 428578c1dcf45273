#include "ui/WalkthroughView.h"

#include "app/ScreenModels.h"
#include "app/Settings.h"
#include "platform/Platform.h"
#include "ui/Theme.h"
#include "ui/Widgets.h"

#include <QAbstractButton>
#include <QCloseEvent>
#include <QDesktopServices>
#include <QHBoxLayout>
#include <QKeyEvent>
#include <QPainter>
#include <QTimer>
#include <QVBoxLayout>
#include <QVariantAnimation>

#include <algorithm>

namespace Vantrel::Ui {

namespace {

constexpr int kDot = 7;

// A text button without chrome: "Skip". When hidden it keeps its place but draws nothing and
// takes no clicks.
class PlainButton : public QAbstractButton {
public:
    PlainButton(const QString& text, QWidget* parent) : QAbstractButton(parent) {
        setText(text);
        setFont(systemFont(14, QFont::Light));
        setCursor(Qt::PointingHandCursor);
        setSizePolicy(QSizePolicy::Fixed, QSizePolicy::Fixed);
    }
    void setTransparent(bool transparent) {
        transparent_ = transparent;
        setEnabled(!transparent);
        update();
    }
    bool transparent() const { return transparent_; }
    QSize sizeHint() const override {
        const QFontMetrics fm(font());
        return {fm.horizontalAdvance(text()) + 4, fm.height() + 4};
    }

protected:
    void paintEvent(QPaintEvent*) override {
        if (transparent_)
            return;
        QPainter p(this);
        p.setFont(font());
        p.setPen(Brismo::muted.color());
        p.drawText(rect(), Qt::AlignCenter, text());
    }

private:
    bool transparent_ = false;
};

// One dot per page, the current one in the accent colour.
class PageDots : public QWidget {
public:
    PageDots(const int& page, QWidget* parent) : QWidget(parent), page_(page) {
        setFixedSize(WalkthroughView::pageCount * kDot + (WalkthroughView::pageCount - 1) * kDot,
                     kDot);
    }

protected:
    void paintEvent(QPaintEvent*) override {
        QPainter p(this);
        p.setRenderHint(QPainter::Antialiasing);
        p.setPen(Qt::NoPen);
        for (int i = 0; i < WalkthroughView::pageCount; ++i) {
            p.setBrush(i == page_ ? Brismo::accent.color() : Brismo::line.color());
            p.drawEllipse(QRectF(i * 2 * kDot, 0, kDot, kDot));
        }
    }

private:
    const int& page_;
};

// A filled circle with a number: the numbered bullets of the permission page.
class NumberDisc : public QWidget {
public:
    NumberDisc(const QString& number, QWidget* parent) : QWidget(parent), number_(number) {
        setFixedSize(20, 20);
        setFont(systemFont(12, QFont::Medium));
    }

protected:
    void paintEvent(QPaintEvent*) override {
        QPainter p(this);
        p.setRenderHint(QPainter::Antialiasing);
        p.setPen(Qt::NoPen);
        p.setBrush(Brismo::accent.color());
        p.drawEllipse(rect());
        p.setPen(Brismo::accentInk.color());
        p.drawText(rect(), Qt::AlignCenter, number_);
    }

private:
    QString number_;
};

// The bar under the pages: its own layout holds the buttons at both ends, and it keeps one child
// (the page dots) at its centre, whatever the buttons beside them are on a page.
class NavigationBar : public QWidget {
public:
    using QWidget::QWidget;
    void setCentered(QWidget* child) {
        centered_ = child;
        place();
    }

protected:
    void resizeEvent(QResizeEvent* event) override {
        QWidget::resizeEvent(event);
        place();
    }

private:
    void place() {
        if (centered_)
            centered_->move((width() - centered_->width()) / 2,
                            (height() - centered_->height()) / 2);
    }
    QWidget* centered_ = nullptr;
};

// A round dot of a group's display colour.
class ColorDot : public QWidget {
public:
    ColorDot(int index, QWidget* parent) : QWidget(parent), index_(index) { setFixedSize(9, 9); }

protected:
    void paintEvent(QPaintEvent*) override {
        QPainter p(this);
        p.setRenderHint(QPainter::Antialiasing);
        p.setPen(Qt::NoPen);
        p.setBrush(Brismo::groupColor(index_).color());
        p.drawEllipse(rect());
    }

private:
    int index_;
};

// The widest a page's content is: the sheet less the page area's padding.
constexpr int kPageWidth = WalkthroughView::sheetWidth - 2 * 44;

// A text that wraps onto as many lines as it needs within maxWidth: its lines even, as wide as
// its longest line and exactly as high as its lines, so that no layout cuts it short.
ThemeLabel* label(const QString& text, qreal points, QFont::Weight weight, DynamicColor color,
                  QWidget* parent, int maxWidth = kPageWidth) {
    auto* l = new ThemeLabel(QString(), points, weight, color, parent);
    l->setWrappedText(text, maxWidth);
    return l;
}

// A column that centres its items, spacing apart, with a flexible gap below them.
QVBoxLayout* centredColumn(QWidget* page, int spacing) {
    auto* column = new QVBoxLayout(page);
    column->setContentsMargins(0, 0, 0, 0);
    column->setSpacing(spacing);
    return column;
}

// Title and subtitle, centred line by line.
QWidget* heading(const QString& title, const QString& subtitle, QWidget* parent) {
    auto* box = new QWidget(parent);
    auto* column = new QVBoxLayout(box);
    column->setContentsMargins(0, 0, 0, 0);
    column->setSpacing(8);
    auto* t = label(title, 30, QFont::Light, Brismo::ink, box);
    t->setObjectName(QStringLiteral("headingTitle"));
    t->setAlignment(Qt::AlignHCenter);
    auto* s = label(subtitle, 16, QFont::Light, Brismo::muted, box, 460);
    s->setObjectName(QStringLiteral("headingSubtitle"));
    s->setAlignment(Qt::AlignHCenter);
    column->addWidget(t, 0, Qt::AlignHCenter);
    column->addWidget(s, 0, Qt::AlignHCenter);
    return box;
}

QWidget* step(const QString& symbol, const QString& title, const QString& subtitle,
              QWidget* parent) {
    auto* box = new QWidget(parent);
    box->setFixedWidth(120);
    auto* column = new QVBoxLayout(box);
    column->setContentsMargins(0, 0, 0, 0);
    column->setSpacing(6);
    auto* iconBox = new QWidget(box);
    iconBox->setFixedHeight(34);
    auto* iconLine = new QHBoxLayout(iconBox);
    iconLine->setContentsMargins(0, 0, 0, 0);
    iconLine->addWidget(new SymbolView(symbol, 28, Brismo::muted, iconBox), 0, Qt::AlignCenter);
    column->addWidget(iconBox);
    auto* t = label(title, 15, QFont::Medium, Brismo::ink, box, 120);
    t->setAlignment(Qt::AlignHCenter);
    auto* s = label(subtitle, 12, QFont::Light, Brismo::muted, box, 120);
    s->setAlignment(Qt::AlignHCenter);
    column->addWidget(t, 0, Qt::AlignHCenter);
    column->addWidget(s, 0, Qt::AlignHCenter);
    return box;
}

QWidget* sampleRow(const QString& file, const QString& newName, int colorIndex, QWidget* parent) {
    auto* row = new QWidget(parent);
    row->setObjectName(QStringLiteral("sampleRow"));
    auto* line = new QHBoxLayout(row);
    line->setContentsMargins(16, 8, 16, 8);
    line->setSpacing(10);
    line->addWidget(new ColorDot(colorIndex, row), 0, Qt::AlignVCenter);
    auto* from = new ThemeLabel(file, 13, QFont::Light, Brismo::muted, row);
    from->setSizePolicy(QSizePolicy::Ignored, QSizePolicy::Preferred); // the columns share alike
    line->addWidget(from, 1);
    line->addWidget(new SymbolView(QStringLiteral("arrow.right"), 11, Brismo::line, row), 0,
                    Qt::AlignVCenter);
    auto* to = new ThemeLabel(newName, 13, QFont::Normal, Brismo::ink, row);
    to->setFont(monospacedBodyFont());
    to->setSizePolicy(QSizePolicy::Ignored, QSizePolicy::Preferred);
    line->addWidget(to, 1);
    return row;
}

QWidget* bullet(const QString& number, const QString& text, QWidget* parent) {
    auto* row = new QWidget(parent);
    auto* line = new QHBoxLayout(row);
    line->setContentsMargins(0, 0, 0, 0);
    line->setSpacing(10);
    line->addWidget(new NumberDisc(number, row), 0, Qt::AlignTop);
    line->addWidget(label(text, 14, QFont::Light, Brismo::ink, row, 460 - 30), 0, Qt::AlignTop);
    line->addStretch(1);
    return row;
}

QWidget* tip(const QString& symbol, const QString& title, const QString& text, QWidget* parent) {
    auto* row = new QWidget(parent);
    auto* line = new QHBoxLayout(row);
    line->setContentsMargins(0, 0, 0, 0);
    line->setSpacing(14);
    auto* iconColumn = new QWidget(row);
    iconColumn->setFixedWidth(28);
    auto* iconLine = new QVBoxLayout(iconColumn);
    iconLine->setContentsMargins(0, 0, 0, 0);
    iconLine->addWidget(new SymbolView(symbol, 20, Brismo::muted, iconColumn), 0,
                        Qt::AlignHCenter | Qt::AlignTop);
    line->addWidget(iconColumn, 0, Qt::AlignTop);
    auto* texts = new QWidget(row);
    auto* column = new QVBoxLayout(texts);
    column->setContentsMargins(0, 0, 0, 0);
    column->setSpacing(2);
    column->addWidget(label(title, 14, QFont::Medium, Brismo::ink, texts, 500 - 42));
    column->addWidget(label(text, 13, QFont::Light, Brismo::muted, texts, 500 - 42));
    line->addWidget(texts, 1, Qt::AlignTop);
    return row;
}

QWidget* mark(QWidget* parent) {
    return new BrismoMark(72, parent);
}

} // namespace

// The picture of the page that is fading out, drawn over the new one.
class FadeOverlay : public QWidget {
public:
    explicit FadeOverlay(WalkthroughView& view, QWidget* parent) : QWidget(parent), view_(view) {
        setAttribute(Qt::WA_TransparentForMouseEvents);
    }

protected:
    void paintEvent(QPaintEvent*) override {
        if (view_.fadePixmap_.isNull() || view_.fadeOpacity_ <= 0)
            return;
        QPainter p(this);
        p.setOpacity(view_.fadeOpacity_);
        p.drawPixmap(0, 0, view_.fadePixmap_);
    }

private:
    WalkthroughView& view_;
};

QUrl WalkthroughView::accessibilitySettingsUrl() {
    return QUrl(QStringLiteral(
        "x-apple.systempreferences:com.apple.preference.security?Privacy_Accessibility"));
}

WalkthroughView::WalkthroughView(WalkthroughHost& model, QWidget* parent)
    : QDialog(parent), model_(model), trusted_(model.platform().accessibility().isTrusted()),
      ticker_(new QTimer(this)), fade_(new QVariantAnimation(this)) {
    setObjectName(QStringLiteral("walkthroughView"));
    setWindowTitle(tr("Vantrel Walkthrough"));
    setWindowModality(Qt::WindowModal);
    setFixedSize(sheetWidth, sheetHeight);

    auto* column = new QVBoxLayout(this);
    column->setContentsMargins(0, 0, 0, 0);
    column->setSpacing(0);

    pageArea_ = new QWidget(this);
    pageArea_->setObjectName(QStringLiteral("pageArea"));
    auto* pageLayout = new QVBoxLayout(pageArea_);
    pageLayout->setContentsMargins(44, 34, 44, 0);
    column->addWidget(pageArea_, 1);

    auto* bar = new NavigationBar(this);
    bar->setObjectName(QStringLiteral("navigationBar"));
    auto* line = new QHBoxLayout(bar);
    line->setContentsMargins(28, 18, 28, 18);
    line->setSpacing(10);
    auto* skip = new PlainButton(tr("Skip"), bar);
    skip->setObjectName(QStringLiteral("skipButton"));
    skip_ = skip;
    connect(skip_, &QAbstractButton::clicked, this, &WalkthroughView::finish);
    dots_ = new PageDots(page_, bar);
    dots_->setObjectName(QStringLiteral("pageDots"));
    back_ = new PillButton(tr("Back"), false, bar);
    back_->setObjectName(QStringLiteral("backButton"));
    connect(back_, &QAbstractButton::clicked, this, &WalkthroughView::back);
    forward_ = new PillButton(tr("Continue"), true, bar);
    forward_->setObjectName(QStringLiteral("continueButton"));
    connect(forward_, &QAbstractButton::clicked, this, [this] {
        if (page_ < pageCount - 1)
            next();
        else
            finish();
    });
    line->addWidget(skip_, 0, Qt::AlignVCenter);
    line->addStretch(1);
    // The dots stay in the middle of the bar on every page; the layout only leaves them room.
    line->addSpacing(dots_->width() + 2 * 10);
    line->addStretch(1);
    bar->setCentered(dots_);
    line->addWidget(back_, 0, Qt::AlignVCenter);
    line->addWidget(forward_, 0, Qt::AlignVCenter);
    column->addWidget(bar);

    fadeOverlay_ = new FadeOverlay(*this, this);
    fadeOverlay_->hide();
    fade_->setDuration(fadeDuration);
    fade_->setStartValue(1.0);
    fade_->setEndValue(0.0);
    fade_->setEasingCurve(QEasingCurve::InOutQuad);
    connect(fade_, &QVariantAnimation::valueChanged, this, [this](const QVariant& value) {
        fadeOpacity_ = value.toReal();
        fadeOverlay_->update();
    });
    connect(fade_, &QVariantAnimation::finished, this, [this] {
        fadePixmap_ = QPixmap();
        fadeOverlay_->hide();
    });

    ticker_->setInterval(pollInterval);
    connect(ticker_, &QTimer::timeout, this, &WalkthroughView::poll);

    showPage(false);
}

bool WalkthroughView::fading() const {
    return fade_->state() == QAbstractAnimation::Running;
}

void WalkthroughView::next() {
    if (page_ >= pageCount - 1)
        return;
    ++page_;
    showPage(true);
}

void WalkthroughView::back() {
    if (page_ <= 0)
        return;
    --page_;
    showPage(true);
}

void WalkthroughView::finish() {
    Settings::setWalkthroughDone(true);
    finishing_ = true;
    model_.setShowWalkthrough(false);
    if (isVisible())
        done(Accepted);
}

void WalkthroughView::openSystemSettings() {
    model_.platform().accessibility().promptForTrust();
    pollsUnanswered_ = 0;
    const QUrl url = accessibilitySettingsUrl();
    if (url.isValid())
        QDesktopServices::openUrl(url);
}

void WalkthroughView::poll() {
    const bool trusted = model_.platform().accessibility().isTrusted();
    if (!trusted && pollsUnanswered_ >= 0 && ++pollsUnanswered_ == restartHintPolls)
        showPermission();
    if (trusted == trusted_)
        return;
    trusted_ = trusted;
    showPermission();
}

void WalkthroughView::showPage(bool animated) {
    if (pageWidget_) {
        if (animated && isVisible()) {
            fade_->stop();
            fadePixmap_ = pageArea_->grab();
            fadeOpacity_ = 1.0;
            fadeOverlay_->setGeometry(pageArea_->geometry());
            fadeOverlay_->show();
            fadeOverlay_->raise();
            fade_->start();
        }
        pageWidget_->hide();
        pageWidget_->deleteLater();
    }
    shield_ = nullptr;
    statusIcon_ = nullptr;
    statusLabel_ = nullptr;
    settingsButton_ = nullptr;
    pageWidget_ = makePage(page_);
    pageArea_->layout()->addWidget(pageWidget_);
    showPermission();
    updateNavigation();
}

void WalkthroughView::updateNavigation() {
    const bool last = page_ >= pageCount - 1;
    static_cast<PlainButton*>(skip_)->setTransparent(last);
    back_->setVisible(page_ >= 1);
    forward_->setTitle(last ? tr("Get Started") : tr("Continue"));
    forward_->setObjectName(last ? QStringLiteral("getStartedButton")
                                 : QStringLiteral("continueButton"));
    dots_->update();
}

void WalkthroughView::showPermission() {
    if (!shield_)
        return;
    shield_->setSymbol(trusted_ ? QStringLiteral("checkmark.shield.fill")
                                : QStringLiteral("hand.raised"),
                       trusted_ ? Brismo::leaf : Brismo::warn);
    statusIcon_->setSymbol(trusted_ ? QStringLiteral("checkmark.circle.fill")
                                    : QStringLiteral("circle"),
                           trusted_ ? Brismo::leaf : Brismo::muted);
    statusLabel_->setText(trusted_ ? tr("Allowed")
                          : pollsUnanswered_ >= restartHintPolls
                              ? tr("Not yet allowed. If Vantrel is switched on, quit Vantrel and "
                                   "open it again.")
                              : tr("Not yet allowed"));
    statusLabel_->setColor(trusted_ ? Brismo::leaf : Brismo::muted);
    settingsButton_->setPrimary(!trusted_);
}

QWidget* WalkthroughView::makePage(int page) {
    auto* content = new QWidget(pageArea_);
    content->setObjectName(QStringLiteral("page%1").arg(page));
    switch (page) {
    case 0: {
        auto* column = centredColumn(content, 26);
        column->addWidget(mark(content), 0, Qt::AlignHCenter);
        column->addWidget(heading(tr("Welcome to Vantrel"),
                                  tr("Drop in a folder of tracks. Vantrel names them, sorts them "
                                     "into groups, and builds the whole session in Logic Pro for "
                                     "you."),
                                  content),
                          0, Qt::AlignHCenter);
        auto* steps = new QWidget(content);
        auto* line = new QHBoxLayout(steps);
        line->setContentsMargins(0, 0, 0, 0);
        line->setSpacing(18);
        line->addWidget(
            step(QStringLiteral("folder.badge.plus"), tr("Drop"), tr("your session folder"), steps),
            0, Qt::AlignVCenter);
        line->addWidget(new SymbolView(QStringLiteral("chevron.right"), 14, Brismo::line, steps), 0,
                        Qt::AlignVCenter);
        line->addWidget(step(QStringLiteral("checklist"), tr("Review"), tr("and approve"), steps),
                        0, Qt::AlignVCenter);
        line->addWidget(new SymbolView(QStringLiteral("chevron.right"), 14, Brismo::line, steps), 0,
                        Qt::AlignVCenter);
        line->addWidget(step(QStringLiteral("paperplane"), tr("Send"), tr("to Logic"), steps), 0,
                        Qt::AlignVCenter);
        column->addWidget(steps, 0, Qt::AlignHCenter);
        column->addStretch(1);
        break;
    }
    case 1: {
        auto* column = centredColumn(content, 20);
        column->addWidget(heading(tr("It sorts by name"),
                                  tr("Vantrel reads each file name, picks the group "
                                     "it belongs in, and numbers the tracks in your "
                                     "original session order."),
                                  content),
                          0, Qt::AlignHCenter);
        auto* card = new Card(content);
        card->setObjectName(QStringLiteral("sampleCard"));
        card->setFixedWidth(520);
        auto* rows = new QVBoxLayout(card);
        rows->setContentsMargins(0, 0, 0, 0);
        rows->setSpacing(0);
        struct Sample {
            int color;
            const char* file;
            const char* name;
        };
        const Sample samples[] = {
            {0, "1Kick In#04.1.wav", "DRUMS_01_KICK_IN"},
            {0, "2Kick Out#04.1.wav", "DRUMS_02_KICK_OUT"},
            {7, "37Vox 1#03.1.wav", "VOCALS_01_VOX_1"},
            {6, "47Track Perc L#03.1.wav", "TRACKS_01_PERC_L"},
            {8, "65Click#03.1.wav", "UTILITY_01_CLICK"},
        };
        for (const Sample& s : samples)
            rows->addWidget(
                sampleRow(QString::fromUtf8(s.file), QString::fromUtf8(s.name), s.color, card));
        column->addWidget(card, 0, Qt::AlignHCenter);
        auto* note = label(tr("Groups, their colors and their order live under "
                              "Rules… at the top right. You can change them any "
                              "time."),
                           13, QFont::Light, Brismo::muted, content, 460);
        note->setAlignment(Qt::AlignHCenter);
        column->addWidget(note, 0, Qt::AlignHCenter);
        column->addStretch(1);
        break;
    }
    case 2: {
        auto* column = centredColumn(content, 18);
        shield_ = new SymbolView(QStringLiteral("hand.raised"), 44, Brismo::warn, content);
        shield_->setObjectName(QStringLiteral("permissionIcon"));
        column->addWidget(shield_, 0, Qt::AlignHCenter);
        column->addWidget(heading(tr("One permission"),
                                  tr("To build your session, Vantrel presses buttons and menus in "
                                     "Logic Pro for you. macOS only allows that when you switch on "
                                     "Accessibility for Vantrel."),
                                  content),
                          0, Qt::AlignHCenter);
        auto* bullets = new QWidget(content);
        bullets->setMaximumWidth(460);
        auto* list = new QVBoxLayout(bullets);
        list->setContentsMargins(0, 0, 0, 0);
        list->setSpacing(8);
        list->addWidget(
            bullet(QStringLiteral("1"), tr("Click Open System Settings below."), bullets));
        list->addWidget(bullet(QStringLiteral("2"),
                               tr("Find Vantrel in the list and switch it on. (If it "
                                  "isn't there, click + and add it from "
                                  "Applications.)"),
                               bullets));
        list->addWidget(bullet(QStringLiteral("3"),
                               tr("Come back here. This page notices when it's on."), bullets));
        column->addWidget(bullets, 0, Qt::AlignHCenter);

        auto* actions = new QWidget(content);
        auto* line = new QHBoxLayout(actions);
        line->setContentsMargins(0, 0, 0, 0);
        line->setSpacing(12);
        settingsButton_ = new PillButton(tr("Open System Settings"), true, actions);
        settingsButton_->setObjectName(QStringLiteral("openSettingsButton"));
        connect(settingsButton_, &QAbstractButton::clicked, this,
                &WalkthroughView::openSystemSettings);
        line->addWidget(settingsButton_, 0, Qt::AlignVCenter);
        auto* status = new QWidget(actions);
        auto* statusLine = new QHBoxLayout(status);
        statusLine->setContentsMargins(0, 0, 0, 0);
        statusLine->setSpacing(5);
        statusIcon_ = new SymbolView(QStringLiteral("circle"), 14, Brismo::muted, status);
        statusIcon_->setObjectName(QStringLiteral("permissionStatusIcon"));
        statusLabel_ = new ThemeLabel(QString(), 13, QFont::Medium, Brismo::muted, status);
        statusLabel_->setObjectName(QStringLiteral("permissionStatus"));
        statusLine->addWidget(statusIcon_, 0, Qt::AlignVCenter);
        statusLine->addWidget(statusLabel_, 0, Qt::AlignVCenter);
        line->addWidget(status, 0, Qt::AlignVCenter);
        column->addWidget(actions, 0, Qt::AlignHCenter);
        column->addStretch(1);
        break;
    }
    case 3: {
        auto* column = centredColumn(content, 18);
        column->addWidget(heading(tr("Before you send"),
                                  tr("A few things to know so it goes smoothly."), content),
                          0, Qt::AlignHCenter);
        auto* tips = new QWidget(content);
        tips->setMaximumWidth(500);
        auto* list = new QVBoxLayout(tips);
        list->setContentsMargins(0, 0, 0, 0);
        list->setSpacing(12);
        list->addWidget(tip(QStringLiteral("music.note.house"),
                            tr("Open Logic Pro with a new, empty project."),
                            tr("Vantrel adds to whatever is open, so start clean."), tips));
        list->addWidget(tip(QStringLiteral("computermouse"),
                            tr("Leave the mouse and keyboard alone while it works."),
                            tr("It takes about a minute. Vantrel drives Logic itself, "
                               "and a small panel in the corner shows progress. You "
                               "can cancel any time."),
                            tips));
        list->addWidget(tip(QStringLiteral("globe"),
                            tr("Logic Pro 12.4 (or 11), with English menus."),
                            tr("That's what it was built and tested with. Other "
                               "versions or languages may not work."),
                            tips));
        list->addWidget(tip(QStringLiteral("arrow.uturn.backward"),
                            tr("You can put everything back."),
                            tr("Vantrel moves your files into group folders inside "
                               "the folder you chose and keeps a list, so one button "
                               "puts them back. Or choose “Make a sorted copy” and "
                               "your originals are not touched."),
                            tips));
        column->addWidget(tips, 0, Qt::AlignHCenter);
        column->addStretch(1);
        break;
    }
    default: {
        auto* column = centredColumn(content, 22);
        column->addWidget(mark(content), 0, Qt::AlignHCenter);
        column->addWidget(heading(tr("You're ready"),
                                  tr("Drop a folder of tracks onto the window to "
                                     "begin. You can open this walkthrough again "
                                     "from the Help menu."),
                                  content),
                          0, Qt::AlignHCenter);
        column->addStretch(1);
        break;
    }
    }
    return content;
}

void WalkthroughView::paintEvent(QPaintEvent*) {
    QPainter p(this);
    Brismo::paintSheet(p, rect());
}

void WalkthroughView::keyPressEvent(QKeyEvent* event) {
    switch (event->key()) {
    case Qt::Key_Return:
    case Qt::Key_Enter:
        forward_->click();
        return;
    case Qt::Key_Escape:
        return; // not a way out
    default:
        QDialog::keyPressEvent(event);
    }
}

void WalkthroughView::closeEvent(QCloseEvent* event) {
    // Only Skip and Get Started close the walkthrough, and the model when it asks.
    if (!finishing_ && model_.showWalkthrough())
        event->ignore();
    else
        QDialog::closeEvent(event);
}

void WalkthroughView::showEvent(QShowEvent* event) {
    QDialog::showEvent(event);
    poll();
    ticker_->start();
}

void WalkthroughView::hideEvent(QHideEvent* event) {
    ticker_->stop();
    QDialog::hideEvent(event);
}

void WalkthroughView::changeEvent(QEvent* event) {
    if (event->type() == QEvent::ApplicationPaletteChange)
        update();
    QDialog::changeEvent(event);
}

void WalkthroughView::resizeEvent(QResizeEvent* event) {
    QDialog::resizeEvent(event);
    fadeOverlay_->setGeometry(pageArea_->geometry());
}

} // namespace Vantrel::Ui
