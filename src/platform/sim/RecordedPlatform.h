#pragma once

// A recorded world: Logic Pro's accessibility tree as `vantrel-cli ax-dump` wrote it (see
// automation/AxDump.h), served through the platform seam for the steps that only read: the
// connection check, the menu walk, finding the track list and its rows. Nothing in it changes:
// an action the element offers answers success and does nothing, a write answers
// attribute-unsupported, and posted events are dropped.

#include "platform/Platform.h"

#include <QJsonObject>
#include <QString>

#include <map>
#include <memory>
#include <vector>

namespace Vantrel {

class SimElement;

class RecordedPlatform final : public Platform,
                               private Accessibility,
                               private Input,
                               private Screen,
                               private DragTileHost {
public:
    // The world of a dump's root node (the application), on clock (which must outlive it).
    RecordedPlatform(const QJsonObject& tree, Clock& clock);
    ~RecordedPlatform() override;

    // Reads a dump file; throws std::runtime_error with a sentence for a file that cannot be
    // read or is not a dump.
    static QJsonObject readDump(const QString& path);

    Accessibility& accessibility() override { return *this; }
    Input& input() override { return *this; }
    Screen& screen() override { return *this; }
    DragTileHost& dragTiles() override { return *this; }
    Clock& clock() override { return clock_; }

private:
    bool isTrusted() override { return true; }
    void promptForTrust() override {}
    QList<RunningApp> runningApplications(const QString& bundleId) override;
    bool activate(const RunningApp& app) override;
    Element applicationElement(std::int64_t pid) override;
    AttributeRead attribute(const Element& element, const QString& name) override;
    int setAttribute(const Element& element, const QString& name, const AXValue& value) override;
    int performAction(const Element& element, const QString& action) override;
    QStringList actionNames(const Element& element) override;
    void postKey(const KeyEvent&) override {}
    void postMouse(const MouseEvent&) override {}
    Rect mainFrame() override;
    Rect visibleFrame() override;
    void showTile(const QStringList&, const Rect&) override {}
    void hideTile() override {}

    std::shared_ptr<SimElement> build(const QJsonObject& node);
    SimElement* own(const Element& e) const;

    Clock& clock_;
    std::shared_ptr<SimElement> app_;
    std::map<const SimElement*, QStringList> actions_; // what each element offers
};

} // namespace Vantrel
