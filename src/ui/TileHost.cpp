#include "ui/TileHost.h"

#include "app/Worker.h"
#include "ui/DragSourceView.h"

#include <QCoreApplication>
#include <QThread>
#include <QVBoxLayout>

#include <condition_variable>
#include <mutex>

namespace Vantrel::Ui {

TileWindowHost::TileWindowHost(DragTileHost* inner) : inner_(inner) {}

TileWindowHost::~TileWindowHost() {
    delete window_.data();
}

DragSourceView* TileWindowHost::tile() const {
    return window_ ? window_->findChild<DragSourceView*>() : nullptr;
}

void TileWindowHost::onMainThread(const std::function<void()>& step) {
    if (QThread::currentThread() == QCoreApplication::instance()->thread()) {
        step();
        return;
    }
    // The wait goes through a std::mutex so that the thread sanitizer sees the hand-off.
    std::mutex mutex;
    std::condition_variable doneChanged;
    bool done = false;
    Worker::toMainThread([&] {
        step();
        // Notified under the lock: once the waiter sees done it returns and destroys both.
        std::lock_guard lock(mutex);
        done = true;
        doneChanged.notify_one();
    });
    std::unique_lock lock(mutex);
    doneChanged.wait(lock, [&] { return done; });
}

void TileWindowHost::showTile(const QStringList& files, const Rect& frame) {
    onMainThread([this, &files, &frame] {
        delete window_.data();
#ifdef Q_OS_MACOS
        // A panel (Qt's Cocoa plugin makes a tool window an NSPanel) that never becomes key, so a
        // press on it leaves Logic Pro in front, and that stays shown while Vantrel is inactive.
        constexpr Qt::WindowType kind = Qt::Tool;
#else
        constexpr Qt::WindowType kind = Qt::Window;
#endif
        auto* window =
            new QWidget(nullptr, kind | Qt::FramelessWindowHint | Qt::WindowStaysOnTopHint |
                                     Qt::WindowDoesNotAcceptFocus);
#ifdef Q_OS_MACOS
        window->setAttribute(Qt::WA_MacAlwaysShowToolWindow);
#endif
        window->setObjectName(QStringLiteral("dragTileWindow"));
        window->setAttribute(Qt::WA_ShowWithoutActivating);
        window->setAttribute(Qt::WA_DeleteOnClose);
        QPalette palette = window->palette();
        palette.setColor(QPalette::Window, DragSourceView::compactFill());
        window->setPalette(palette);
        window->setAutoFillBackground(true);
        auto* layout = new QVBoxLayout(window);
        layout->setContentsMargins(0, 0, 0, 0);
        auto* tile = new DragSourceView(window);
        tile->setFiles(files);
        tile->setTitle(QStringLiteral("%1 files").arg(files.size()));
        tile->setCompact(true);
        layout->addWidget(tile);
        window->setGeometry(static_cast<int>(frame.origin.x), static_cast<int>(frame.origin.y),
                            static_cast<int>(frame.size.width),
                            static_cast<int>(frame.size.height));
        window->show();
        window->raise();
        window_ = window;
    });
    if (inner_)
        inner_->showTile(files, frame);
}

void TileWindowHost::hideTile() {
    onMainThread([this] {
        if (window_)
            window_->close();
    });
    if (inner_)
        inner_->hideTile();
}

} // namespace Vantrel::Ui
