#include "ui/DropZone.h"

#include "app/ScreenModels.h"
#include "ui/Widgets.h"

#include <QPainter>
#include <QVBoxLayout>

namespace Vantrel::Ui {

namespace {
constexpr int inset = 22;
}

DropZone::DropZone(FolderChooser& chooser, QWidget* parent) : QWidget(parent) {
    setObjectName(QStringLiteral("dropZone"));
    auto* column = new QVBoxLayout(this);
    column->setContentsMargins(inset, inset, inset, inset);
    column->setSpacing(16);
    column->addStretch(1);

    symbol_ = new SymbolView(QStringLiteral("folder.badge.plus"), 56, Brismo::muted, this);
    column->addWidget(symbol_, 0, Qt::AlignHCenter);
    column->addSpacing(6);

    auto* title =
        new ThemeLabel(tr("Drop your session folder"), 34, QFont::Light, Brismo::ink, this);
    title->setObjectName(QStringLiteral("dropTitle"));
    title->setAlignment(Qt::AlignHCenter);
    column->addWidget(title, 0, Qt::AlignHCenter);

    auto* text = new ThemeLabel(QString(), 17, QFont::Light, Brismo::muted, this);
    text->setAlignment(Qt::AlignHCenter);
    text->setWrappedText(tr("Tracks are renamed and sorted into groups. You review "
                            "everything before any file is moved or copied."),
                         400);
    column->addWidget(text, 0, Qt::AlignHCenter);

    column->addSpacing(6);
    auto* choose = new PillButton(tr("Choose Folder…"), true, this);
    choose->setObjectName(QStringLiteral("chooseFolderButton"));
    connect(choose, &QAbstractButton::clicked, this, [&chooser] { chooser.chooseFolder(); });
    column->addWidget(choose, 0, Qt::AlignHCenter);
    column->addStretch(1);
}

void DropZone::setTargeted(bool targeted) {
    if (targeted_ == targeted)
        return;
    targeted_ = targeted;
    symbol_->setSymbol(QStringLiteral("folder.badge.plus"), targeted ? Brismo::ink : Brismo::muted);
    update();
}

void DropZone::paintEvent(QPaintEvent*) {
    QPainter p(this);
    p.setRenderHint(QPainter::Antialiasing);
    const QRectF block = QRectF(rect()).adjusted(inset, inset, -inset, -inset);
    p.setPen(Qt::NoPen);
    if (targeted_) {
        p.setBrush(Brismo::inner.color());
    } else {
        QColor fill = Brismo::card.color();
        fill.setAlphaF(0.5);
        p.setBrush(fill);
    }
    p.drawRoundedRect(block, 14, 14);
    // The border lies inside the block's edge: half its width in. Dashed while waiting, solid ink
    // while a folder is over it.
    const qreal width = targeted_ ? 2.0 : 1.5;
    const QRectF edge = block.adjusted(width / 2, width / 2, -width / 2, -width / 2);
    QPen dash(targeted_ ? Brismo::ink.color() : Brismo::line.color(), width);
    if (!targeted_)
        dash.setDashPattern({8 / 1.5, 8 / 1.5}); // Qt measures dashes in pen widths
    p.setPen(dash);
    p.setBrush(Qt::NoBrush);
    p.drawRoundedRect(edge, 14, 14);
}

} // namespace Vantrel::Ui
