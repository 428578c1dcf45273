#pragma once

// The application's icon: the brand mark, drawn by BrismoMark::paintMark, the one place its
// geometry lives. The window uses it directly; the build writes it as the SVG and the PNG
// files of the icon theme with vantrel-app-icon.

#include <QIcon>
#include <QList>
#include <QString>

namespace Vantrel::Ui {

// The icon's name in the icon theme, the same as the desktop entry's and the metainfo's id.
inline constexpr const char* appIconName = "audio.brismo.Vantrel";

// The sizes in pixels of the PNG files written for the icon theme.
QList<int> appIconSizes();

// The mark in the current appearance at every size of appIconSizes().
QIcon appIcon();

// Writes the mark in the light appearance under folder as the hicolor theme lays icons out:
// "scalable/apps/<name>.svg" and "<N>x<N>/apps/<name>.png" for each size. Returns the first
// file that could not be written, or an empty string.
QString writeAppIconFiles(const QString& folder);

// The sides in points of a Mac icon set; each is drawn at 1× and 2×.
QList<int> appIconSetPoints();

// Writes the mark in the light appearance as a Mac icon set: "icon_<N>x<N>.png" and
// "icon_<N>x<N>@2x.png" for each side of appIconSetPoints(), directly under folder (the
// "AppIcon.iconset" that iconutil turns into AppIcon.icns). Returns the first file that could not
// be written, or an empty string.
QString writeAppIconSet(const QString& folder);

} // namespace Vantrel::Ui
