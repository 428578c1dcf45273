#pragma once

#include "app/ScreenModels.h"
#include "core/Config.h"
#include "core/FileOps.h"

#include <QObject>
#include <QString>

#include <optional>

namespace Vantrel {

// The rules in force: loaded from the user's configuration, replaced only by a save. A
// configuration file that exists but cannot be read is kept beside itself when the rules are
// loaded (Config::keepUnusable), and loadProblem says so and where. All calls on the main thread.
class RulesModel : public QObject, public RulesStore {
    Q_OBJECT

public:
    // fileOps keeps an unusable configuration file aside; it must outlive the model.
    explicit RulesModel(FileOps& fileOps, QObject* parent = nullptr);

    const Config& config() const override { return config_; }
    // Why the configuration file could not be used when the rules were loaded, and where it was
    // kept; none when it could (or there was none).
    const std::optional<QString>& loadProblem() const { return loadProblem_; }

    // Saves cfg as the user's configuration; on success puts it in force, emits saved and
    // returns true; on failure alerts, keeps the rules in force and returns false. A
    // configuration file that could not be read is kept beside the new one before it is
    // replaced; when that fails, nothing is saved.
    bool saveRules(const Config& cfg) override;

signals:
    // The rules in force are different.
    void configChanged();
    // A save succeeded (also when it changed nothing): what was read with the old rules can be
    // sorted again.
    void saved();
    // A message for the user.
    void alert(const QString& message);

private:
    FileOps& fileOps_;
    Config config_;
    std::optional<QString> loadProblem_;
};

} // namespace Vantrel
