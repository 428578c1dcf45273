#pragma once

#include "platform/Platform.h"

#include <QPointer>
#include <QWidget>

#include <functional>

namespace Vantrel::Ui {

class DragSourceView;

// This program's compact drag tile as a real window: a borderless window above all others, at
// the rectangle asked for, holding a compact DragSourceView with the files. The window is
// created, shown and hidden on the main thread; a call from another thread (the sender's worker)
// hands the step to the main thread and waits until it is done. Each call is then passed on to
// the host of the world Logic Pro lives in (on Linux the simulated desktop, which receives the
// drag), if there is one.
class TileWindowHost final : public DragTileHost {
public:
    // inner, when given, must outlive this host.
    explicit TileWindowHost(DragTileHost* inner = nullptr);
    ~TileWindowHost() override;

    void showTile(const QStringList& files, const Rect& frame) override;
    void hideTile() override;

    // The tile window, while one exists; main thread only.
    QWidget* window() const { return window_; }
    DragSourceView* tile() const;

private:
    // Runs step on the main thread and returns once it has run.
    static void onMainThread(const std::function<void()>& step);

    DragTileHost* inner_;
    QPointer<QWidget> window_; // main thread only
};

// A platform that shows the drag tile as a real window: everything is the inner platform's,
// except that its tile host is a TileWindowHost passing on to the inner one.
class TileWindowPlatform final : public Platform {
public:
    // inner must outlive this platform.
    explicit TileWindowPlatform(Platform& inner) : inner_(inner), tiles_(&inner.dragTiles()) {}

    Accessibility& accessibility() override { return inner_.accessibility(); }
    Input& input() override { return inner_.input(); }
    Screen& screen() override { return inner_.screen(); }
    DragTileHost& dragTiles() override { return tiles_; }
    Clock& clock() override { return inner_.clock(); }

    TileWindowHost& tileWindows() { return tiles_; }

private:
    Platform& inner_;
    TileWindowHost tiles_;
};

} // namespace Vantrel::Ui
