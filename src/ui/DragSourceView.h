#pragma once

#include "platform/DragGesture.h"

#include <QColor>
#include <QRectF>
#include <QStringList>
#include <QUrl>
#include <QWidget>

#include <functional>

class QDrag;

namespace Vantrel::Ui {

// A tile that lets its files leave the program by drag and drop: a press followed by a move of
// more than 4 points starts one drag carrying the files as file URLs, offered for copying only;
// the next drag needs a new press. It comes in two looks: the full tile of the done screen
// (dashed orange outline, title and hint) and the compact tile of the import by drag (solid
// orange, one line).
class DragSourceView : public QWidget {
    Q_OBJECT

public:
    // The hint line of the full tile.
    static QString hint();
    // The solid fill of the compact tile and of its window.
    static QColor compactFill();
    // The full tile's fill and outline in the light or the dark appearance.
    static QColor tileFill(bool dark);
    static QColor tileStroke(bool dark);

    // One dragged file: its URL and where its icon is shown, in the tile's coordinates.
    struct DragItem {
        QUrl url;
        QRectF icon;
    };
    // Starts a drag that has been set up (its data, and a picture of the items' icons): by
    // default QDrag::exec with the actions offered, copy only. Tests replace it to look at the
    // drag instead of running the system's.
    using DragRunner =
        std::function<void(QDrag& drag, const QList<DragItem>& items, Qt::DropActions offered)>;

    explicit DragSourceView(QWidget* parent = nullptr);

    // The files the drag carries (absolute paths), in order.
    void setFiles(const QStringList& files);
    const QStringList& files() const { return files_; }
    void setTitle(const QString& title);
    const QString& title() const { return title_; }
    void setCompact(bool compact);
    bool compact() const { return compact_; }
    void setDragRunner(DragRunner runner) { runner_ = std::move(runner); }
    // The press that has not turned into a drag, in the widget's coordinates.
    std::optional<Point> downPoint() const { return gesture_.downPoint(); }

    QSize sizeHint() const override { return {336, 110}; }

protected:
    void mousePressEvent(QMouseEvent* event) override;
    void mouseMoveEvent(QMouseEvent* event) override;
    void paintEvent(QPaintEvent* event) override;
    void changeEvent(QEvent* event) override;

private:
    void startDrag(Point press);
    void paintFull(QPainter& painter);
    void paintCompact(QPainter& painter);

    QStringList files_;
    QString title_;
    bool compact_ = false;
    DragGesture gesture_;
    DragRunner runner_;
};

// The full tile as the done screen shows it: 340 × 110, with these files and this title.
class DragTile : public QWidget {
    Q_OBJECT

public:
    explicit DragTile(QWidget* parent = nullptr);
    // Hands files and title to the tile and redraws it.
    void setContent(const QStringList& files, const QString& title);
    DragSourceView* view() const { return view_; }

private:
    DragSourceView* view_;
};

// The done screen's title for a number of files: the number followed by " tracks, ready for
// Logic", never put in the singular.
QString tileTitle(qsizetype files);

} // namespace Vantrel::Ui
