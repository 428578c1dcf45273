#include "ui/SimLogicWindow.h"

#include "app/AppModel.h"
#include "core/Palette.h"
#include "ui/Theme.h"

#include <QJsonDocument>
#include <QMainWindow>
#include <QMenuBar>
#include <QPainter>
#include <QPainterPath>
#include <QTimer>

namespace Vantrel::Ui {

namespace {

// The look of the simulated Logic Pro: its own dark grey, whatever the desktop's appearance.
namespace Look {
const QColor window{0x24, 0x24, 0x26};
const QColor bar{0x3a, 0x3a, 0x3c};
const QColor ruler{0x30, 0x30, 0x32};
const QColor row{0x33, 0x33, 0x35};
const QColor stackRow{0x3d, 0x3d, 0x40};
const QColor selectedRow{0x55, 0x5e, 0x6e};
const QColor separator{0x1c, 0x1c, 0x1e};
const QColor text{0xe6, 0xe6, 0xe6};
const QColor dimText{0x9a, 0x9a, 0x9e};
const QColor dialog{0xec, 0xec, 0xec};
const QColor dialogText{0x1e, 0x1e, 0x1e};
const QColor button{0xff, 0xff, 0xff};
const QColor accent{0x2f, 0x7c, 0xf6};
} // namespace Look

constexpr qreal barHeight = 38;
constexpr qreal rulerHeight = 26;
constexpr qreal rowHeight = 32;
constexpr qreal headerWidth = 300;
constexpr qreal indent = 18;

bool isProjectTitle(const QString& title) {
    return title.endsWith(QLatin1String("Tracks")) || title.contains(QLatin1String(" - "));
}

void drawButton(QPainter& p, const QRectF& r, const QString& label, bool primary) {
    QPainterPath path;
    path.addRoundedRect(r, 5, 5);
    p.fillPath(path, primary ? Look::accent : Look::button);
    p.setPen(QPen(QColor(0, 0, 0, 40), 1));
    p.drawPath(path);
    p.setPen(primary ? Qt::white : Look::dialogText);
    p.drawText(r, Qt::AlignCenter, label);
}

void drawDialog(QPainter& p, const QRectF& r) {
    QPainterPath path;
    path.addRoundedRect(r, 10, 10);
    p.fillPath(path.translated(0, 3), QColor(0, 0, 0, 90));
    p.fillPath(path, Look::dialog);
}

} // namespace

SimLogicWindow::SimLogicWindow(SimLogic& logic, QWidget* parent)
    : QWidget(parent), logic_(logic), timer_(new QTimer(this)) {
    setObjectName(QStringLiteral("simulatedLogic"));
    setWindowTitle(QStringLiteral("Logic Pro (simulated)"));
    setMinimumSize(520, 360);
    timer_->setInterval(refreshMs);
    connect(timer_, &QTimer::timeout, this, &SimLogicWindow::refresh);
    session_ = logic_.session();
    describe();
}

QColor SimLogicWindow::paletteColor(std::pair<int, int> cell) {
    if (!LogicPalette::contains(cell.first, cell.second))
        return {};
    return opaqueColor(LogicPalette::hex()[static_cast<std::size_t>(cell.second)]
                                          [static_cast<std::size_t>(cell.first)]);
}

QList<SimRow> SimLogicWindow::rows(const SimSession& session) {
    QList<SimRow> out;
    // Members follow their stack's row; a track naming a stack belongs to the last stack row
    // above it of that name.
    std::optional<int> openStack; // index of the stack row members now belong to
    for (int i = 0; i < session.tracks.size(); ++i) {
        const SimTrack& t = session.tracks[i];
        const bool member =
            !t.isStack && t.stack && openStack && session.tracks[*openStack].name == *t.stack;
        if (!member)
            openStack = t.isStack ? std::optional<int>(i) : std::nullopt;
        if (member && session.tracks[*openStack].folded)
            continue;
        SimRow r;
        r.track = i;
        r.name = t.name;
        r.isStack = t.isStack;
        r.folded = t.isStack && t.folded;
        r.member = member;
        r.selected = session.selection.contains(i);
        if (session.nameEdit && session.nameEdit->first == i) {
            r.editing = true;
            r.name = session.nameEdit->second;
        }
        if (t.color)
            r.color = paletteColor(*t.color);
        out.append(r);
    }
    return out;
}

void SimLogicWindow::refresh() {
    SimSession now = logic_.session();
    if (now == session_)
        return;
    session_ = std::move(now);
    describe();
    update();
}

void SimLogicWindow::describe() {
    // What is drawn, for assistive technology (and the end-to-end test, which reads it there).
    setAccessibleDescription(
        QString::fromUtf8(QJsonDocument(session_.toJson()).toJson(QJsonDocument::Compact)));
}

void SimLogicWindow::showEvent(QShowEvent* event) {
    refresh();
    timer_->start();
    QWidget::showEvent(event);
}

void SimLogicWindow::hideEvent(QHideEvent* event) {
    timer_->stop();
    QWidget::hideEvent(event);
}

void SimLogicWindow::paintEvent(QPaintEvent*) {
    QPainter p(this);
    p.setRenderHint(QPainter::Antialiasing);
    p.fillRect(rect(), Look::window);

    // The control bar with the project's title.
    QString title;
    for (const QString& w : session_.windows)
        if (isProjectTitle(w))
            title = w;
    p.fillRect(QRectF(0, 0, width(), barHeight), Look::bar);
    p.setFont(systemFont(13, QFont::Medium));
    p.setPen(Look::text);
    p.drawText(QRectF(0, 0, width(), barHeight), Qt::AlignCenter,
               title.isEmpty() ? QStringLiteral("No project open") : title);
    p.fillRect(QRectF(0, barHeight, width(), rulerHeight), Look::ruler);
    p.setPen(Look::dimText);
    p.setFont(systemFont(10));
    for (int bar = 1; headerWidth + (bar - 1) * 80 < width(); ++bar)
        p.drawText(QPointF(headerWidth + 4 + (bar - 1) * 80, barHeight + 17), QString::number(bar));

    paintTracks(p, QRectF(0, barHeight + rulerHeight, width(), height() - barHeight - rulerHeight));
    paintOtherWindows(p);
    if (session_.colorWindow)
        paintColorWindow(p);
    if (session_.stackSheet)
        paintSheet(p);
    if (!session_.alert.isEmpty())
        paintAlert(p);
}

void SimLogicWindow::paintTracks(QPainter& p, const QRectF& area) {
    const QList<SimRow> shown = rows(session_);
    if (shown.isEmpty()) {
        p.setPen(Look::dimText);
        p.setFont(systemFont(13));
        p.drawText(area, Qt::AlignCenter, QStringLiteral("Empty project: no tracks"));
        return;
    }
    qreal y = area.top();
    for (const SimRow& r : shown) {
        if (y > area.bottom())
            break;
        const QRectF header(0, y, headerWidth, rowHeight - 1);
        p.fillRect(header, r.selected ? Look::selectedRow : r.isStack ? Look::stackRow : Look::row);
        p.fillRect(QRectF(headerWidth, y, area.width() - headerWidth, rowHeight - 1),
                   r.selected ? Look::selectedRow.darker(160) : Look::window);
        p.fillRect(QRectF(0, y + rowHeight - 1, area.width(), 1), Look::separator);
        if (r.color.isValid())
            p.fillRect(QRectF(0, y, 5, rowHeight - 1), r.color);

        qreal x = 12 + (r.member ? indent : 0);
        if (r.isStack) {
            QPainterPath triangle;
            const qreal cy = y + rowHeight / 2;
            if (r.folded) {
                triangle.moveTo(x, cy - 5);
                triangle.lineTo(x + 8, cy);
                triangle.lineTo(x, cy + 5);
            } else {
                triangle.moveTo(x - 1, cy - 4);
                triangle.lineTo(x + 9, cy - 4);
                triangle.lineTo(x + 4, cy + 4);
            }
            triangle.closeSubpath();
            p.fillPath(triangle, Look::text);
        }
        x += 16;
        const QRectF nameBox(x, y + 6, headerWidth - x - 10, rowHeight - 13);
        p.setFont(systemFont(13, r.isStack ? QFont::DemiBold : QFont::Normal));
        if (r.editing) {
            p.fillRect(nameBox, Qt::white);
            p.setPen(QPen(Look::accent, 2));
            p.drawRect(nameBox);
            p.setPen(Look::dialogText);
            p.drawText(nameBox.adjusted(4, 0, -4, 0), Qt::AlignVCenter | Qt::AlignLeft, r.name);
        } else {
            p.setPen(Look::text);
            p.drawText(nameBox, Qt::AlignVCenter | Qt::AlignLeft, r.name);
        }
        // The audio region of a track that holds audio, in the track's colour.
        const SimTrack& t = session_.tracks[r.track];
        if (t.hasAudio) {
            QColor region = r.color.isValid() ? r.color : QColor(0x5b, 0x8d, 0xbf);
            const QRectF box(headerWidth + 4, y + 3, qMin(area.width() - headerWidth - 8, 320.0),
                             rowHeight - 7);
            QPainterPath path;
            path.addRoundedRect(box, 3, 3);
            p.fillPath(path, region.darker(115));
            p.setPen(Qt::white);
            p.setFont(systemFont(10));
            p.drawText(box.adjusted(5, 0, -5, 0), Qt::AlignVCenter | Qt::AlignLeft, t.name);
        }
        y += rowHeight;
    }
}

void SimLogicWindow::paintSheet(QPainter& p) {
    const QRectF r((width() - 420) / 2.0, barHeight + 4, 420, 150);
    drawDialog(p, r);
    p.setPen(Look::dialogText);
    p.setFont(systemFont(13));
    p.drawText(r.adjusted(20, 14, -20, 0), Qt::AlignTop | Qt::AlignLeft,
               QStringLiteral("Create a track stack from the selected tracks."));
    const bool summing = *session_.stackSheet;
    const std::pair<const char*, bool> choices[] = {{"Folder stack", false},
                                                    {"Summing stack", true}};
    for (int i = 0; i < 2; ++i) {
        const QPointF c(r.left() + 30, r.top() + 54 + 26.0 * i);
        p.setPen(QPen(QColor(0x80, 0x80, 0x80), 1));
        p.setBrush(choices[i].second == summing ? Look::accent : Look::button);
        p.drawEllipse(c, 7, 7);
        if (choices[i].second == summing) {
            p.setBrush(Qt::white);
            p.drawEllipse(c, 2.5, 2.5);
        }
        p.setBrush(Qt::NoBrush);
        p.setPen(Look::dialogText);
        p.drawText(QPointF(c.x() + 14, c.y() + 5), QString::fromUtf8(choices[i].first));
    }
    drawButton(p, QRectF(r.right() - 200, r.bottom() - 40, 86, 26), QStringLiteral("Cancel"),
               false);
    drawButton(p, QRectF(r.right() - 104, r.bottom() - 40, 86, 26), QStringLiteral("Create"), true);
}

void SimLogicWindow::paintColorWindow(QPainter& p) {
    const qreal cellW = 20, cellH = 14, gap = 3;
    const qreal gridW = LogicPalette::columns * (cellW + gap) - gap;
    const qreal gridH = LogicPalette::rows * (cellH + gap) - gap;
    const QRectF r((width() - gridW - 32) / 2.0, height() - gridH - 70, gridW + 32, gridH + 52);
    drawDialog(p, r);
    p.setPen(Look::dialogText);
    p.setFont(systemFont(12, QFont::Medium));
    p.drawText(QRectF(r.left(), r.top() + 6, r.width(), 18), Qt::AlignCenter,
               QStringLiteral("Color"));
    for (int row = 0; row < LogicPalette::rows; ++row)
        for (int col = 0; col < LogicPalette::columns; ++col)
            p.fillRect(QRectF(r.left() + 16 + col * (cellW + gap),
                              r.top() + 34 + row * (cellH + gap), cellW, cellH),
                       paletteColor({col, row}));
}

void SimLogicWindow::paintAlert(QPainter& p) {
    const QRectF r((width() - 340) / 2.0, (height() - 170) / 2.0, 340, 170);
    drawDialog(p, r);
    p.setPen(Look::dialogText);
    p.setFont(systemFont(13));
    p.drawText(r.adjusted(20, 18, -20, -60), Qt::AlignTop | Qt::AlignLeft | Qt::TextWordWrap,
               session_.alert);
    drawButton(p, QRectF(r.left() + 20, r.bottom() - 44, 140, 28), QStringLiteral("Import"), false);
    drawButton(p, QRectF(r.right() - 160, r.bottom() - 44, 140, 28),
               QStringLiteral("Don\u2019t Import"), true);
}

void SimLogicWindow::paintOtherWindows(QPainter& p) {
    // Windows besides the project, the Color window and the alert (the import dialog, the
    // options window): a box with the window's title each, front window last drawn.
    QStringList others;
    for (const QString& w : session_.windows)
        if (!isProjectTitle(w) && !w.isEmpty() && w != QLatin1String("Color"))
            others.prepend(w);
    qreal offset = 0;
    for (const QString& w : others) {
        const QRectF r((width() - 440) / 2.0 + offset, barHeight + 60 + offset, 440, 200);
        drawDialog(p, r);
        p.setPen(Look::dialogText);
        p.setFont(systemFont(13, QFont::Medium));
        p.drawText(QRectF(r.left(), r.top() + 8, r.width(), 20), Qt::AlignCenter, w);
        offset += 24;
    }
}

void openOnSend(SimLogicWindow& window, AppModel& model) {
    QObject::connect(&model.send(), &SendModel::sendingChanged, &window, [&window, &model] {
        if (!model.send().sending())
            return;
        window.show();
        window.raise();
    });
}

void addShowSimulatedLogic(QMainWindow& main, SimLogicWindow& window) {
    QMenu* logic = nullptr;
    for (QAction* a : main.menuBar()->actions())
        if (a->menu() && a->text() == QLatin1String("Logic"))
            logic = a->menu();
    if (!logic)
        logic = main.menuBar()->addMenu(QStringLiteral("Logic"));
    QAction* show = logic->addAction(QStringLiteral("Show Logic Pro (simulated)"));
    show->setObjectName(QStringLiteral("showSimulatedLogicAction"));
    QObject::connect(show, &QAction::triggered, &window, [&window] {
        window.show();
        window.raise();
        window.activateWindow();
    });
}

} // namespace Vantrel::Ui
