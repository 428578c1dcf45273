#pragma once

// The small toolkit through which the automation reads and drives Logic Pro: finding elements
// in its accessibility tree, reading attributes, listing its windows, pressing menu items by
// their title path, and posting keystrokes and typed text. Stateless: every operation takes the
// Platform it talks to and keeps no element between calls. Nothing here fails: an unreadable
// attribute, a missing application or element gives the empty result (none, an empty list, the
// empty text). Every pause goes through the platform's clock; the pauses are part of the
// behaviour, since Logic Pro must see the input as separate, human-paced events.

#include "platform/Platform.h"

#include <QHash>
#include <QList>
#include <QString>
#include <QStringList>

#include <chrono>
#include <cstdint>
#include <functional>
#include <optional>

namespace Vantrel::AXProbe {

// The deepest level find() tests, counting the root as 0: children of an element at this
// depth are never visited.
inline constexpr int maxSearchDepth = 12;

// The pauses of the input operations: after a press that opens a menu; after each modifier
// press; after the key's down, its up and each modifier's release; after each typed unit.
inline constexpr std::chrono::milliseconds menuOpenPause{120};
inline constexpr std::chrono::milliseconds modifierDownPause{12};
inline constexpr std::chrono::milliseconds keyPause{30};
inline constexpr std::chrono::milliseconds typedUnitPause{8};

// A read that answers -25204 (cannot complete) is asked again, at most this often, this long
// after the failed one.
inline constexpr int readRetries = 3;
inline constexpr std::chrono::milliseconds readRetryPause{50};

// The keys key() knows, by name ("return", "tab", "escape", "space", "delete", "down", "up",
// "a", "g", "o", "d", "z"), with their virtual key codes.
const QHash<QString, std::uint16_t>& codes();

// The first element met by a pre-order depth-first search from root that satisfies pred; none
// when root is none or nothing matches. depth is the root's depth (callers pass 0); elements
// deeper than maxSearchDepth are not tested.
Element find(Platform& platform, const Element& root, int depth,
             const std::function<bool(const Element&)>& pred);

// The attribute's value; none when it is missing or unreadable (a read answering -25204 is
// retried readRetries times first). Every read of the toolkit goes through it.
AXValue read(Platform& platform, const Element& element, const QString& attribute);

// Several attributes of one element in one call, in the order of attributes, each as read()
// gives it; the call is asked again (as read() does) while one of them answers -25204.
QList<AXValue> readAll(Platform& platform, const Element& element, const QStringList& attributes);

// The element's "AXChildren" in the platform's order; empty when unreadable.
QList<Element> kids(Platform& platform, const Element& element);

// The attribute's text value; the empty text when it is missing, unreadable or not text.
QString str(Platform& platform, const Element& element, const QString& attribute);

// The element an element-valued attribute such as "AXMenuBar" holds (delivered by the platform
// as a list of one element); none when it is missing, unreadable or empty.
Element element(Platform& platform, const Element& of, const QString& attribute);

// Logic Pro's windows in the platform's order; empty when Logic Pro is not running or the list
// cannot be read.
QList<Element> windows(Platform& platform);

// The menu item reached from the menu bar by the titles of path, without opening or pressing
// anything; none when a title is not found. At each step the candidates are the current
// element's children, with every "AXMenu" child replaced by its own children, so the items of
// a closed menu are reachable; a title matches only exactly (case and punctuation included).
Element menuItem(Platform& platform, const Element& menuBar, const QStringList& path);

// Presses the menu item at path (titles from the menu bar item down to the item, for example
// "Track", "Create Track Stack…"): directly when the item is found, and then never again (a
// press that answers an error may still have taken effect: the caller checks the effect);
// only when it is not found, through the menus, pressing each title in turn and pausing
// menuOpenPause after each press that opens a menu. Returns the status of the final press
// (0 is success); none
// when Logic Pro is not running, its menu bar cannot be read, path is empty or a title is not
// found (menus opened so far stay open).
std::optional<int> menuPathResult(Platform& platform, const QStringList& path);

// Posts one keystroke of the key named in codes() with the modifiers of mods, modifier names
// joined by "+" ("cmd", "shift", "opt", "ctrl"; for example "cmd+shift"; empty for none).
// Modifiers go down in the order cmd, shift, opt, ctrl whatever their order in mods, and come
// up in the reverse order; names that are not modifiers are ignored. A key not in codes()
// posts nothing.
void key(Platform& platform, const QString& keyName, const QString& mods);

// Types text one UTF-16 code unit at a time (a key-down and a key-up of key code 0 carrying
// the unit, no modifiers), independent of the keyboard layout; a character outside the basic
// plane goes out as two units.
void type(Platform& platform, const QString& text);

} // namespace Vantrel::AXProbe
