#pragma once

// The sheet's fields as data: every component of the purchase-order window in component
// order, with everything the window needs to build it and every "for each component" loop
// needs to visit it. The window and the sheet-file routines walk this one table; nothing
// else lists the sheet's fields (the printout has elements of its own, keyed by them).

#include "SheetFont.h"

#include <QList>
#include <QString>
#include <QStringList>
#include <QStringView>
#include <array>
#include <span>

enum class ComponentKind {
    Panel,
    ScrollBox,
    Bevel,
    Image,
    Label,
    GroupBox,
    Grid,
    NonVisual, // dialogs, stores, progress control, version reader
};

enum class ClickAction {
    None,
    LabelSetValue,
    LabelSetFont,
    CalculatedValue,
    Label17Click,
    labelPODateClick,
    Image1Click,
};

enum class Alignment { Left, Right };
enum class Background { Parent, White, Transparent };
enum class BevelShape { None, TopLine, BottomLine };

struct Geometry
{
    int left = 0, top = 0, width = 0, height = 0;
    // Auto-sized right-aligned labels grow to the left and keep this edge.
    bool keepsRightEdge = false;
    int right() const { return left + width; }
};

struct FieldSpec
{
    const char *name = "";
    ComponentKind kind = ComponentKind::NonVisual;
    const char *parent = ""; // "" for the window itself
    Geometry geometry;
    const char *text = ""; // default caption, exactly as shown
    const char *hint = "";
    int tag = 0;
    ClickAction click = ClickAction::None;
    SheetFont font;        // design font
    int fontHeightPx = 11; // character height at 96 dpi
    Alignment alignment = Alignment::Left;
    bool autoSize = false;
    bool wordWrap = false;
    bool visible = true;
    Background background = Background::Parent;
    BevelShape bevel = BevelShape::None;

    QString nameString() const { return QString::fromLatin1(name); }
    QString textString() const { return QString::fromUtf8(text); }
    // Labels and group boxes are the fields a sheet file stores, keyed by name.
    bool isPersisted() const
    {
        return kind == ComponentKind::Label || kind == ComponentKind::GroupBox;
    }
};

namespace SheetFields {

// Every component of the sheet window, in component order.
std::span<const FieldSpec> components();

// The field of that name, or nullptr.
const FieldSpec *find(QStringView name);

// The labels sharing a font group, in component order (group boxes have their own loop).
std::vector<const FieldSpec *> labelsWithTag(int tag);

// The font of the window itself, which every field not given its own uses.
SheetFont windowFont();

// The money fields.
constexpr int FooterValuesTag = 10;

// The line-item table.
constexpr int GridColumns = 7;
constexpr int GridRows = 9;
constexpr std::array<int, GridColumns> GridColumnWidths{39, 60, 64, 117, 295, 103, 64};
constexpr int GridRowHeight = 20;
constexpr int QuantityColumn = 0;
constexpr int ProductColumn = 3;
constexpr int UnitPriceColumn = 5;
constexpr int ExtendedColumn = 6;
// The table's texts as plain data, row by row, each row its cells column by column.
using LineItemRows = QList<QStringList>;

// Fields whose hint is rebuilt from their caption field whenever the pointer moves over
// them, so that dialog titles follow the user's own wording: hint = prefix + caption.
struct HoverHint
{
    const char *field;
    const char *captionField;
    const char *prefix;
};
std::span<const HoverHint> hoverHints();

// The sheet-file key of a cell: "Table" followed by column and row in decimal.
QString TableKey(int column, int row);
// The heading label over a column of the line-item table: Label25 over the quantity, and so on.
QString ColumnHeading(int column);

} // namespace SheetFields
