#pragma once

// The sheet's fonts at the widget edge: a stored font becomes a QFont and a colour, and
// back. The Windows faces the sheet files name are mapped to metric twins installed on
// this system, so texts keep their sizes.

#include "SheetFont.h"

#include <QColor>
#include <QFont>
#include <QPalette>

class QWidget;

namespace FontConvert {

// Call once after the application object exists.
void installFontSubstitutions();

QFont toQFont(const SheetFont &font);
QColor toQColor(qint32 color);

// The stored form of a font picked in a dialog: face, whole points, colour, style.
SheetFont fromQFont(const QFont &font, const QColor &color);

// The font dialog speaks of the families installed here, which the sheet's Windows faces
// are not: it opens on the family the font is drawn in (with its style and size, so that
// Bold is there to see), and a family left as it was keeps the face name it was given.
QFont forFontDialog(const SheetFont &font);
SheetFont fromFontDialog(const SheetFont &given, const QFont &chosen);

// Gives widget the font, and its colour to the palette role its text is drawn in.
void apply(QWidget *widget, const SheetFont &font, QPalette::ColorRole textRole);

// Fills widget's background with a stored colour.
void fill(QWidget *widget, qint32 color);

} // namespace FontConvert
