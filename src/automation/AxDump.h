#pragma once

// A dump of Logic Pro's accessibility tree, as `vantrel-cli ax-dump` writes it and the recorded
// world (RecordedPlatform) reads it back.
//
// One node per element: {"role", "subrole", "title", "description", "identifier", "value",
// "enabled", "frame": {"x", "y", "width", "height"}, "actions": [...], "children": [...]}; a key
// is present only when the element answers it ("value" a text, boolean or number; "frame" when
// both its position and size read). The root is the application element.

#include "platform/Platform.h"

#include <QJsonObject>
#include <QString>
#include <QStringList>

#include <optional>

namespace Vantrel::AxDump {

// Depth of the dump when none is asked: deeper than any of Logic Pro's trees.
inline constexpr int defaultDepth = 40;

// The tree of the running Logic Pro down to depth (the application at 0; the children of an
// element at depth are left out); none when Logic Pro is not running or its element cannot be
// made.
std::optional<QJsonObject> dumpLogic(Platform& platform, int depth = defaultDepth);

// The tree below one element.
QJsonObject dumpElement(Platform& platform, const Element& element, int depth);

// The tree as indented text, one element a line: role, subrole, “title”, description,
// identifier, value, frame and actions.
QString asText(const QJsonObject& tree);

} // namespace Vantrel::AxDump
