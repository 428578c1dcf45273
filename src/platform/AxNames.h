#pragma once

// The names of Logic Pro's accessibility tree and the layout of its windows, in one place for the
// sender that reads the tree and the simulator that builds it: attribute, role, subrole, action,
// identifier and notification names as the system spells them, and the geometry both sides rely
// on. Neither side spells one of these names as a literal of its own, so a typo cannot make the
// two disagree.

#include "platform/Platform.h"

#include <QString>

namespace Vantrel::Ax {

// Attributes an element is read or written through.
namespace Attr {
inline const QString role = QStringLiteral("AXRole");
inline const QString subrole = QStringLiteral("AXSubrole");
inline const QString title = QStringLiteral("AXTitle");
inline const QString description = QStringLiteral("AXDescription");
inline const QString identifier = QStringLiteral("AXIdentifier");
inline const QString help = QStringLiteral("AXHelp");
inline const QString value = QStringLiteral("AXValue");
inline const QString enabled = QStringLiteral("AXEnabled");
inline const QString focused = QStringLiteral("AXFocused");
inline const QString selected = QStringLiteral("AXSelected");
inline const QString modal = QStringLiteral("AXModal");
inline const QString main = QStringLiteral("AXMain");
inline const QString position = QStringLiteral("AXPosition");
inline const QString size = QStringLiteral("AXSize");
inline const QString children = QStringLiteral("AXChildren");
inline const QString parent = QStringLiteral("AXParent");
inline const QString selectedChildren = QStringLiteral("AXSelectedChildren");
inline const QString selectedRows = QStringLiteral("AXSelectedRows");
inline const QString defaultButton = QStringLiteral("AXDefaultButton");
inline const QString cancelButton = QStringLiteral("AXCancelButton");
inline const QString menuItemCmdChar = QStringLiteral("AXMenuItemCmdChar");
inline const QString menuItemCmdModifiers = QStringLiteral("AXMenuItemCmdModifiers");
// Of the application.
inline const QString frontmost = QStringLiteral("AXFrontmost");
inline const QString windows = QStringLiteral("AXWindows");
inline const QString mainWindow = QStringLiteral("AXMainWindow");
inline const QString focusedWindow = QStringLiteral("AXFocusedWindow");
inline const QString focusedUIElement = QStringLiteral("AXFocusedUIElement");
inline const QString menuBar = QStringLiteral("AXMenuBar");
} // namespace Attr

// Values of Attr::role.
namespace Role {
inline const QString application = QStringLiteral("AXApplication");
inline const QString window = QStringLiteral("AXWindow");
inline const QString sheet = QStringLiteral("AXSheet");
inline const QString menuBar = QStringLiteral("AXMenuBar");
inline const QString menuBarItem = QStringLiteral("AXMenuBarItem");
inline const QString menu = QStringLiteral("AXMenu");
inline const QString menuItem = QStringLiteral("AXMenuItem");
inline const QString group = QStringLiteral("AXGroup");
inline const QString splitGroup = QStringLiteral("AXSplitGroup");
inline const QString splitter = QStringLiteral("AXSplitter");
inline const QString scrollArea = QStringLiteral("AXScrollArea");
inline const QString layoutArea = QStringLiteral("AXLayoutArea");
inline const QString layoutItem = QStringLiteral("AXLayoutItem");
inline const QString outline = QStringLiteral("AXOutline");
inline const QString row = QStringLiteral("AXRow");
inline const QString column = QStringLiteral("AXColumn");
inline const QString cell = QStringLiteral("AXCell");
inline const QString image = QStringLiteral("AXImage");
inline const QString staticText = QStringLiteral("AXStaticText");
inline const QString textField = QStringLiteral("AXTextField");
inline const QString button = QStringLiteral("AXButton");
inline const QString popUpButton = QStringLiteral("AXPopUpButton");
inline const QString checkBox = QStringLiteral("AXCheckBox");
inline const QString radioGroup = QStringLiteral("AXRadioGroup");
inline const QString radioButton = QStringLiteral("AXRadioButton");
inline const QString slider = QStringLiteral("AXSlider");
inline const QString disclosureTriangle = QStringLiteral("AXDisclosureTriangle");
} // namespace Role

// Values of Attr::subrole.
namespace Subrole {
inline const QString standardWindow = QStringLiteral("AXStandardWindow");
inline const QString dialog = QStringLiteral("AXDialog");
inline const QString floatingWindow = QStringLiteral("AXFloatingWindow");
inline const QString closeButton = QStringLiteral("AXCloseButton");
} // namespace Subrole

// Actions an element performs.
namespace Action {
inline const QString press = QStringLiteral("AXPress");
inline const QString raise = QStringLiteral("AXRaise");
} // namespace Action

// Values of Attr::identifier: the system's open panel and its parts, and Logic's alert buttons
// (not translated, unlike their titles).
namespace Id {
inline const QString openPanel = QStringLiteral("open-panel");
inline const QString fileList = QStringLiteral("ListView");
inline const QString openButton = QStringLiteral("OKButton");
inline const QString goToSheet = QStringLiteral("GoToWindow");
inline const QString goToPathField = QStringLiteral("PathTextField");
// Followed by the button's number from 1: "action-button-1", "action-button-2".
inline const QString actionButtonPrefix = QStringLiteral("action-button-");
} // namespace Id

// Notifications an observer of the application can be told of.
namespace Notification {
inline const QString created = QStringLiteral("AXCreated");
inline const QString destroyed = QStringLiteral("AXUIElementDestroyed");
inline const QString valueChanged = QStringLiteral("AXValueChanged");
inline const QString selectedChildrenChanged = QStringLiteral("AXSelectedChildrenChanged");
inline const QString windowCreated = QStringLiteral("AXWindowCreated");
} // namespace Notification

// Where things are in Logic's windows, in points.
namespace Layout {
// The track list inside the project window, relative to the window's top left corner: the
// header column on the left, the time ruler and the global arrangement track above the rows,
// and the bar at the window's bottom.
inline constexpr double headerLeft = 4;
inline constexpr double headerWidth = 320;
inline constexpr double rulerLeft = 328;
inline constexpr double rulerTop = 106;
inline constexpr double rulerHeight = 40;
inline constexpr double arrangementHeight = 30;
inline constexpr double rowsTop = rulerTop + rulerHeight + arrangementHeight;
inline constexpr double rowHeight = 44;
inline constexpr double bottomBar = 24;

// The Color window and its palette of 4 rows of 24 swatches, whose centres lie swatchPitchX and
// swatchPitchY apart from (swatchX0, swatchY0), relative to the window's top left corner.
inline constexpr Rect colorWindow{{351, 641}, {737, 134}};
inline constexpr double swatchPitchX = 28;
inline constexpr double swatchPitchY = 20;
inline constexpr double swatchX0 = 59.25;
inline constexpr double swatchY0 = 46.5;
inline constexpr Size swatch{26, 18};
inline constexpr int paletteColumns = 24;
inline constexpr int paletteRows = 4;
inline constexpr int paletteSwatches = paletteColumns * paletteRows;
} // namespace Layout

} // namespace Vantrel::Ax
