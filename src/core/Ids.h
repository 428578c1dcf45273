#pragma once

#include <QUuid>

namespace Vantrel {

// A fresh random (version 4) identifier for a value within one run. Made from a per-thread
// generator seeded once from the system, so that making thousands of items stays cheap.
QUuid newId();

} // namespace Vantrel
