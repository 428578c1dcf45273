#pragma once

// Finds the items of Logic Pro's menus the sender uses without reading their titles, so that a
// Logic Pro whose menus are in another language is driven like an English one. Titles are
// translated; key equivalents (AXMenuItemCmdChar and AXMenuItemCmdModifiers) and the order of the
// items are not. So the Track menu is the menu that holds Shift-Command-D ("Create Track Stack…",
// Logic's default key command), and the other Track menu items are found by their place in it:
// before or after that item, or by their place in Logic's Track menu as Apple's guide lists it. A
// Track menu without that item (Logic's complete features off) is the fifth menu of the bar: the
// Apple menu, the application's menu, File, Edit, Track. The only item without a key equivalent or
// a place to go by is File > Import > Audio File…; it is found from a table of its titles in
// German, French and Japanese, and in any other language it is not found.

#include "platform/Platform.h"

#include <QStringList>

namespace Vantrel::MenuLocator {

// The menu item the English path names (as the sender writes it, for example {"Track",
// "Create Track Stack…"}), found in the menu bar without its titles; none when the path is not
// one the locator knows or the item is not in the menus (the stack items without Logic's
// complete features).
Element locate(Platform& platform, const Element& menuBar, const QStringList& englishPath);

} // namespace Vantrel::MenuLocator
