#pragma once

// The simulated system's "System Settings" window, as a Linux desktop shows it around the
// program: Privacy & Security > Accessibility with a switch per program. Turning the switch of
// "Vantrel" changes what the simulated platform's trust check answers.

#include <QAbstractButton>
#include <QUrl>
#include <QWidget>

namespace Vantrel {
class SimSystemSettings;
}

namespace Vantrel::Ui {

// A round on/off switch.
class ToggleSwitch : public QAbstractButton {
    Q_OBJECT

public:
    explicit ToggleSwitch(QWidget* parent = nullptr);
    QSize sizeHint() const override { return {38, 22}; }

protected:
    void paintEvent(QPaintEvent* event) override;
};

class SimSettingsWindow : public QWidget {
    Q_OBJECT

public:
    explicit SimSettingsWindow(SimSystemSettings& system, QWidget* parent = nullptr);
    ~SimSettingsWindow() override;

    // The switch of a program listed under Accessibility, or null.
    ToggleSwitch* accessibilitySwitch(const QString& program) const;

public slots:
    // Shows the window in front at the page the address names (every address of the system's
    // settings opens Privacy & Security > Accessibility here, the only page it has).
    void openUrl(const QUrl& url);

private:
    void refresh();

    SimSystemSettings& system_;
    int observation_;
    QList<QPair<QString, ToggleSwitch*>> switches_;
};

} // namespace Vantrel::Ui
