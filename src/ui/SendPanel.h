#pragma once

#include "platform/Platform.h"

#include <QWidget>

namespace Vantrel {
class SendProgress;
}

namespace Vantrel::Ui {

class PillButton;
class ThemeLabel;
class ThemeProgressBar;

// The content of the floating send panel: the mark and "SENDING TO LOGIC", the send's progress,
// its status line, the plea not to touch anything, and "Cancel" (and Escape), which stops the
// send. It follows the model's send progress and needs nothing else of the model.
class SendPanelView : public QWidget {
    Q_OBJECT

public:
    explicit SendPanelView(SendProgress& progress, QWidget* parent = nullptr);

protected:
    void paintEvent(QPaintEvent* event) override;

private:
    void refresh();

    SendProgress& progress_;
    ThemeProgressBar* bar_;
    ThemeLabel* status_;
    PillButton* cancel_;
};

// The send panel's window: frameless, a tool window above all others that does not take the
// keyboard, holding a SendPanelView at a size with its top-left corner at a global point.
class SendPanelWindow : public QWidget {
    Q_OBJECT

public:
    SendPanelWindow(SendProgress& progress, Point topLeft, QSize size);
    SendPanelView* view() const { return view_; }

private:
    SendPanelView* view_;
};

} // namespace Vantrel::Ui
