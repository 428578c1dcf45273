#include "app/RulesModel.h"

#include "app/ModelText.h"
#include "core/ConfigProblem.h"
#include "core/Errors.h"
#include "core/SmallFile.h"

#include <exception>

namespace Vantrel {

using ModelText::describe;

RulesModel::RulesModel(FileOps& fileOps, QObject* parent)
    : QObject(parent), fileOps_(fileOps), config_(Config::load()) {
    // The built-in rules stand in for a file that could not be read; a later save would
    // replace it, so it is kept aside now and the user told where, this once.
    const QString path = Config::filePath();
    if (!Config::unusableAt(path))
        return;
    // What is wrong with it: the place of a syntax error, the key, or the system's reason.
    QString problem;
    try {
        problem = configProblem(readSmallFile(path, SmallFileCap::config));
    } catch (const FileError& e) {
        problem = e.reason();
    }
    // One whole sentence for each case, so that each translates as one.
    try {
        const QString kept = Config::keepUnusable(path, fileOps_);
        loadProblem_ = problem.isEmpty()
                           ? tr("Your rules file “%1” could not be read, so Vantrel is using the "
                                "built-in rules. The file is kept as “%2”.")
                                 .arg(path, kept)
                           : tr("Your rules file “%1” could not be read (%2), so Vantrel is using "
                                "the built-in rules. The file is kept as “%3”.")
                                 .arg(path, problem, kept);
    } catch (const std::exception& e) {
        loadProblem_ = problem.isEmpty()
                           ? tr("Your rules file “%1” could not be read, so Vantrel is using the "
                                "built-in rules. Couldn't keep a copy of it: %2")
                                 .arg(path, describe(e))
                           : tr("Your rules file “%1” could not be read (%2), so Vantrel is using "
                                "the built-in rules. Couldn't keep a copy of it: %3")
                                 .arg(path, problem, describe(e));
    }
}

bool RulesModel::saveRules(const Config& cfg) {
    try {
        const QString path = Config::filePath();
        if (Config::unusableAt(path))
            Config::keepUnusable(path, fileOps_);
        cfg.save();
    } catch (const std::exception& e) {
        emit alert(tr("Couldn't save rules: %1").arg(describe(e)));
        return false;
    }
    if (!(config_ == cfg)) {
        config_ = cfg;
        emit configChanged();
    }
    emit saved();
    return true;
}

} // namespace Vantrel
