#include "platform/Backend.h"

namespace Vantrel {

Backend chooseBackend(bool simulateAsked, bool onMac) {
    return onMac && !simulateAsked ? Backend::mac : Backend::simulated;
}

} // namespace Vantrel
