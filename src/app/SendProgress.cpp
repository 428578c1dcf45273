#include "app/SendProgress.h"

namespace Vantrel {

void SendProgress::set(const QString& status, double fraction) {
    if (status_ != status) {
        status_ = status;
        emit statusChanged();
    }
    if (fraction_ != fraction) {
        fraction_ = fraction;
        emit fractionChanged();
    }
}

} // namespace Vantrel
