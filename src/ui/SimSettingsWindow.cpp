#include "ui/SimSettingsWindow.h"

#include "platform/sim/SimSystemSettings.h"
#include "ui/Widgets.h"

#include <QFrame>
#include <QHBoxLayout>
#include <QLabel>
#include <QListWidget>
#include <QMetaObject>
#include <QPainter>
#include <QVBoxLayout>

namespace Vantrel::Ui {

namespace {

// The system's own look: neutral greys and its blue, apart from this program's theme.
const QColor kSidebar(0xE8, 0xE6, 0xE6);
const QColor kPane(0xF5, 0xF4, 0xF4);
const QColor kBox(0xFF, 0xFF, 0xFF);
const QColor kText(0x1D, 0x1D, 0x1F);
const QColor kSecondary(0x6E, 0x6E, 0x73);
const QColor kSystemBlue(0x00, 0x7A, 0xFF);
const QColor kSwitchOff(0xD1, 0xD1, 0xD6);

QLabel* text(const QString& s, int pixels, QFont::Weight weight, const QColor& color,
             QWidget* parent) {
    auto* l = new QLabel(s, parent);
    QFont f = l->font();
    f.setPixelSize(pixels);
    f.setWeight(weight);
    l->setFont(f);
    QPalette p = l->palette();
    p.setColor(QPalette::WindowText, color);
    l->setPalette(p);
    l->setWordWrap(true);
    return l;
}

} // namespace

ToggleSwitch::ToggleSwitch(QWidget* parent) : QAbstractButton(parent) {
    setCheckable(true);
    setCursor(Qt::PointingHandCursor);
    setFixedSize(sizeHint());
}

void ToggleSwitch::paintEvent(QPaintEvent*) {
    QPainter p(this);
    p.setRenderHint(QPainter::Antialiasing);
    const QRectF track = QRectF(rect()).adjusted(0.5, 0.5, -0.5, -0.5);
    p.setPen(Qt::NoPen);
    p.setBrush(isChecked() ? kSystemBlue : kSwitchOff);
    p.drawRoundedRect(track, track.height() / 2, track.height() / 2);
    const qreal knob = track.height() - 4;
    const qreal x = isChecked() ? track.right() - 2 - knob : track.left() + 2;
    p.setBrush(Qt::white);
    p.drawEllipse(QRectF(x, track.top() + 2, knob, knob));
}

SimSettingsWindow::SimSettingsWindow(SimSystemSettings& system, QWidget* parent)
    : QWidget(parent, Qt::Window), system_(system) {
    setObjectName(QStringLiteral("systemSettingsWindow"));
    setWindowTitle(QStringLiteral("System Settings"));
    resize(640, 400);
    setAutoFillBackground(true);
    QPalette pal = palette();
    pal.setColor(QPalette::Window, kPane);
    pal.setColor(QPalette::WindowText, kText);
    setPalette(pal);

    auto* line = new QHBoxLayout(this);
    line->setContentsMargins(0, 0, 0, 0);
    line->setSpacing(0);

    auto* sidebar = new QListWidget(this);
    sidebar->setObjectName(QStringLiteral("settingsSidebar"));
    sidebar->setFixedWidth(190);
    sidebar->setFrameShape(QFrame::NoFrame);
    QPalette side = sidebar->palette();
    side.setColor(QPalette::Base, kSidebar);
    side.setColor(QPalette::Text, kText);
    side.setColor(QPalette::Highlight, kSystemBlue);
    side.setColor(QPalette::HighlightedText, Qt::white);
    sidebar->setPalette(side);
    for (const char* item : {"Wi‑Fi", "Bluetooth", "Network", "General", "Appearance",
                             "Privacy & Security", "Desktop & Dock", "Displays"})
        sidebar->addItem(QString::fromUtf8(item));
    sidebar->setCurrentRow(5);
    sidebar->setEnabled(false); // the only page there is
    line->addWidget(sidebar);

    auto* pane = new QWidget(this);
    auto* column = new QVBoxLayout(pane);
    column->setContentsMargins(24, 18, 24, 18);
    column->setSpacing(12);
    auto* path = text(QStringLiteral("Privacy & Security  ›"), 12, QFont::Normal, kSecondary, pane);
    column->addWidget(path);
    auto* title = text(QStringLiteral("Accessibility"), 20, QFont::DemiBold, kText, pane);
    title->setObjectName(QStringLiteral("settingsPageTitle"));
    column->addWidget(title);
    column->addWidget(text(QStringLiteral("Allow the applications below to control your "
                                          "computer."),
                           13, QFont::Normal, kSecondary, pane));

    auto* box = new QFrame(pane);
    box->setAutoFillBackground(true);
    QPalette boxPalette = box->palette();
    boxPalette.setColor(QPalette::Window, kBox);
    box->setPalette(boxPalette);
    box->setFrameShape(QFrame::StyledPanel);
    auto* rows = new QVBoxLayout(box);
    rows->setContentsMargins(12, 8, 12, 8);
    for (const QString& program : system_.accessibilityList()) {
        auto* row = new QWidget(box);
        auto* rowLine = new QHBoxLayout(row);
        rowLine->setContentsMargins(0, 4, 0, 4);
        rowLine->setSpacing(10);
        if (program == SimSystemSettings::programName())
            rowLine->addWidget(new BrismoMark(22, row));
        rowLine->addWidget(text(program, 13, QFont::Normal, kText, row), 1);
        auto* toggle = new ToggleSwitch(row);
        toggle->setObjectName(QStringLiteral("accessibilitySwitch"));
        toggle->setAccessibleName(program);
        toggle->setChecked(system_.accessibilityAllowed(program));
        connect(toggle, &QAbstractButton::toggled, this,
                [this, program](bool on) { system_.setAccessibilityAllowed(program, on); });
        rowLine->addWidget(toggle);
        rows->addWidget(row);
        switches_.append({program, toggle});
    }
    column->addWidget(box);
    column->addStretch(1);
    line->addWidget(pane, 1);

    // A switch turned elsewhere (another window of the same settings) shows here too.
    observation_ = system_.observe([this] {
        QMetaObject::invokeMethod(this, &SimSettingsWindow::refresh, Qt::QueuedConnection);
    });
}

SimSettingsWindow::~SimSettingsWindow() {
    system_.unobserve(observation_);
}

ToggleSwitch* SimSettingsWindow::accessibilitySwitch(const QString& program) const {
    for (const auto& [name, toggle] : switches_)
        if (name == program)
            return toggle;
    return nullptr;
}

void SimSettingsWindow::openUrl(const QUrl&) {
    show();
    raise();
    activateWindow();
}

void SimSettingsWindow::refresh() {
    for (const auto& [program, toggle] : switches_) {
        const QSignalBlocker block(toggle);
        toggle->setChecked(system_.accessibilityAllowed(program));
    }
}

} // namespace Vantrel::Ui
