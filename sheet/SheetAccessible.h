#pragma once

// What a screen reader is told of the sheet's texts. An amount or an order value is named
// after its caption ("Subtotal", "Account"), labelled by it, and described by its own text;
// every other text is named by what it shows, or by its role while empty. Each text, frame
// and logo offers a press action that opens its editor, as a click does. The sheet and the
// command panel are frames named by their titles.
namespace SheetAccessible {

// Makes the sheet's texts known to Qt's accessibility; once per program, before the first
// sheet window shows.
void install();

} // namespace SheetAccessible
