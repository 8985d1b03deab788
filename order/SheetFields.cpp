#include "SheetFields.h"

#include <vector>

namespace {

using K = ComponentKind;
using C = ClickAction;

SheetFont font(const char *name, int points, bool bold = false, qint32 color = Colors::WindowText)
{
    SheetFont f;
    f.name = QString::fromLatin1(name);
    f.size = points;
    f.color = color;
    f.style.bold = bold;
    return f;
}

// A right-aligned auto-sized label: the width is that of its default text; the right edge
// is what stays put.
Geometry rightAligned(int right, int top, int width, int height)
{
    return Geometry{right - width, top, width, height, true};
}

FieldSpec component(const char *name, ComponentKind kind, const char *parent, Geometry g)
{
    FieldSpec f;
    f.name = name;
    f.kind = kind;
    f.parent = parent;
    f.geometry = g;
    return f;
}

FieldSpec label(const char *name, const char *parent, Geometry g, const char *text,
                const char *hint, int tag, ClickAction click)
{
    FieldSpec f = component(name, K::Label, parent, g);
    f.text = text;
    f.hint = hint;
    f.tag = tag;
    f.click = click;
    f.autoSize = true;
    return f;
}

FieldSpec withFont(FieldSpec f, const SheetFont &sf, int heightPx)
{
    f.font = sf;
    f.fontHeightPx = heightPx;
    return f;
}

FieldSpec rightAlignedLabel(FieldSpec f)
{
    f.alignment = Alignment::Right;
    return f;
}

std::vector<FieldSpec> buildComponents()
{
    const SheetFont arial10 = font("Arial", 10);
    const SheetFont courier9 = font("Courier New", 9);
    const SheetFont greyArial9 = font("Arial", 9, false, Colors::Gray);
    const char *sb = "ScrollBox1";
    std::vector<FieldSpec> c;

    c.push_back(component("Panel1", K::Panel, "", {0, 0, 786, 644}));
    c.push_back(component("ScrollBox1", K::ScrollBox, "Panel1", {4, 7, 780, 630}));
    FieldSpec image = component("Image1", K::Image, sb, {5, 3, 77, 97});
    image.click = C::Image1Click;
    c.push_back(image);
    FieldSpec bevel1 = component("Bevel1", K::Bevel, sb, {10, 112, 741, 6});
    bevel1.bevel = BevelShape::TopLine;
    c.push_back(bevel1);
    FieldSpec bevel2 = component("Bevel2", K::Bevel, sb, {17, 702, 284, 15});
    bevel2.bevel = BevelShape::BottomLine;
    c.push_back(bevel2);
    c.push_back(component("StringGrid1", K::Grid, sb, {4, 387, 753, 194}));

    // Totals column: captions end at 675, amounts at 758.
    struct Total { const char *caption, *text, *hint, *amount; int top; int capWidth; C click; };
    const Total totals[] = {
        {"Label1", "Subtotal", "Subtotal Label", "Label14", 607, 40, C::CalculatedValue},
        {"Label9", "Discounts", "Discount Label", "Label15", 628, 47, C::LabelSetValue},
        {"Label10", "Shipping", "Shipping Cost Label", "Label16", 648, 42, C::LabelSetValue},
        {"Label11", "Tax", "Tax Amount Label", "Label17", 669, 18, C::Label17Click},
        {"Label12", "Credited", "Amount Credited Label", "Label18", 696, 40, C::LabelSetValue},
        {"Label13", "Balance Due", "Amount Due Label", "Label19", 714, 59, C::CalculatedValue},
    };
    const auto totalCaption = [&](const Total &t) {
        return rightAlignedLabel(label(t.caption, sb, rightAligned(675, t.top, t.capWidth, 13),
                                       t.text, t.hint, 20, C::LabelSetValue));
    };
    c.push_back(totalCaption(totals[0]));
    c.push_back(rightAlignedLabel(withFont(label("Label7", sb, rightAligned(752, 3, 225, 29),
                                                 "PURCHASE ORDER", "", 75, C::LabelSetFont),
                                           font("Arial", 18, true), 24)));
    FieldSpec notes = withFont(
        label("Label8", sb, {27, 122, 300, 94},
              "Special notations for vendor. Here you add things like delivery requirement "
              "date, loading dock location, required signatures, accounts payable mail drop "
              "(where to send invoice)...",
              "Special Notations", 5, C::LabelSetValue),
        font("Arial", 8), 11);
    notes.autoSize = false;
    notes.wordWrap = true;
    c.push_back(notes);
    for (int i = 1; i < 6; ++i)
        c.push_back(totalCaption(totals[i]));
    for (const Total &t : totals) {
        c.push_back(rightAlignedLabel(
            label(t.amount, sb, rightAligned(758, t.top, 22, 13), "0.00", "", 10, t.click)));
    }

    // Order identity: captions at 513, values at 595, one row each.
    struct Identity { const char *caption, *text; int capWidth; C capClick;
                      const char *value, *valueText, *hint; int valueWidth; C valueClick; };
    const int rows[] = {129, 149, 170, 190, 210};
    const Identity identity[] = {
        {"Label20", "PO Number:", 58, C::LabelSetFont,
         "labelPONumber", "PO Number", "PO Number", 63, C::LabelSetValue},
        {"Label21", "Date:", 26, C::LabelSetFont,
         "labelPODate", "PO Date", "Purchase Order Date", 49, C::labelPODateClick},
        {"Label22", "Account:", 43, C::LabelSetValue,
         "Label34", "Account Info", "Account", 84, C::LabelSetValue},
        {"Label23", "Terms:", 32, C::LabelSetValue,
         "Label35", "Payment Due Date", "Terms", 112, C::LabelSetValue},
        {"Label24", "Ship Via:", 42, C::LabelSetValue,
         "Label36", "Shipping Method", "Ship Via", 105, C::LabelSetValue},
    };
    for (int i = 0; i < 5; ++i) {
        const Identity &r = identity[i];
        c.push_back(label(r.caption, sb, {513, rows[i], r.capWidth, 13}, r.text, "PO Identity",
                          30, r.capClick));
    }
    for (int i = 0; i < 5; ++i) {
        const Identity &r = identity[i];
        c.push_back(withFont(label(r.value, sb, {595, rows[i], r.valueWidth, 15}, r.valueText,
                                   r.hint, 60, r.valueClick),
                             courier9, 12));
    }

    c.push_back(label("Label39", sb, {19, 718, 42, 13}, "Approval", "\"Approval\" Line Label",
                      101, C::LabelSetValue));
    c.push_back(withFont(label("labelHelp", sb, {266, 617, 193, 15},
                               "Right-click anywhere to Print or Exit.", "", -1, C::None),
                         greyArial9, 12));
    FieldSpec forLogo = withFont(label("labelForLogo", sb, {298, 646, 126, 15},
                                       "Click here to add Logo.", "", -999, C::Image1Click),
                                 greyArial9, 12);
    forLogo.visible = false;
    c.push_back(forLogo);

    // Vendor and ship-to blocks: white lines of one font group inside two group boxes.
    struct Line { const char *name, *text, *hint; Geometry g; };
    const auto block = [&](const char *box, int left, const char *text, const char *hint,
                           std::initializer_list<Line> lines) {
        FieldSpec g = component(box, K::GroupBox, sb, {left, 243, 301, 105});
        g.text = text;
        g.hint = hint;
        g.tag = 150;
        g.click = C::LabelSetValue;
        c.push_back(g);
        for (const Line &l : lines) {
            FieldSpec f = label(l.name, box, l.g, l.text, l.hint, 100, C::LabelSetValue);
            f.background = Background::White;
            c.push_back(f);
        }
    };
    block("GroupBox1", 60, " Vendor: ", "Vendor Label",
          {{"Label41", "Vendor Company  Name ", "Vendor Company", {26, 43, 118, 13}},
           {"Label43", "Vendor Company Address", "Vendor Company Address", {26, 60, 122, 13}},
           {"Label44", "Vendor City, State  Postal Code", "Vendor City, State  Postal Code",
            {26, 78, 148, 13}},
           {"Label42", "Vendor Phone Number", "Vendor Phone Number or EMail Address",
            {175, 43, 108, 13}}});
    block("GroupBox2", 399, " Ship To: ", "Ship To Label",
          {{"Label32", "Shipment Recipient (You)", "Person Receiving Shipment", {26, 24, 120, 13}},
           {"Label33", "Recipient Company Name ", "Company Name", {26, 42, 126, 13}},
           {"Label37", "Recipient Phone", "Phone Number or EMail Address", {184, 24, 79, 13}},
           {"Label38", "Recipient Company Address", "Company Address", {26, 60, 133, 13}},
           {"Label40", "Recipient City, State  Postal Code", "Company City State...",
            {26, 78, 159, 13}}});

    // Company header; the third address line is Label6, standing above Label5.
    c.push_back(component("Panel2", K::Panel, sb, {87, 3, 378, 96}));
    c.push_back(withFont(label("Label2", "Panel2", {4, 5, 123, 16}, "My Company Name",
                               "Company Name", 0, C::LabelSetValue),
                         font("Arial", 10, true), 13));
    struct Address { const char *name, *text, *hint; int tag, top; };
    const Address address[] = {
        {"Label3", "Company Address 1", "Address Line One", 1, 24},
        {"Label4", "Company Address 2", "Address Line Two", 2, 43},
        {"Label5", "Company Address 4", "Address Line Four", 4, 80},
        {"Label6", "Company Address 3", "Address Line Three", 3, 61},
    };
    for (const Address &a : address) {
        c.push_back(withFont(label(a.name, "Panel2", {4, a.top, 118, 16}, a.text, a.hint, a.tag,
                                   C::LabelSetValue),
                             arial10, 13));
    }

    // Column headers over the table.
    c.push_back(component("Panel3", K::Panel, sb, {3, 366, 752, 22}));
    struct Header { const char *name, *text, *hint; int left, width; };
    const Header headers[] = {
        {"Label25", "Qty", "Quantity Header Label (Qty, Hrs, Lots)", 7, 16},
        {"Label26", "Units", "Units Header Label (Each, Per M, Monthly) ", 46, 24},
        {"Label27", "SKU", "Item No Header Label (SKU, ID, Prod ID)", 109, 22},
        {"Label28", "Product", "Product Name Header Label", 174, 37},
        {"Label29", "Description", "Product Description Header Label", 291, 53},
        {"Label30", "Unit Price", "Price Header Label (Unit Price, Unit Cost)", 587, 46},
        {"Label31", "Extended", "Line Total Header Label", 690, 45},
    };
    for (const Header &h : headers) {
        FieldSpec f = label(h.name, "Panel3", {h.left, 6, h.width, 13}, h.text, h.hint, 40,
                            C::LabelSetValue);
        f.background = Background::Transparent;
        c.push_back(f);
    }

    for (const char *name : {"FontDialog1", "OpenPictureDialog1", "CaptionSaver1", "FontSaver1",
                             "ProgressControl1", "VersionResource1"})
        c.push_back(component(name, K::NonVisual, "", {}));
    return c;
}

} // namespace

namespace SheetFields {

std::span<const FieldSpec> components()
{
    static const std::vector<FieldSpec> table = buildComponents();
    return table;
}

const FieldSpec *find(QStringView name)
{
    for (const FieldSpec &f : components()) {
        if (name == QLatin1StringView(f.name))
            return &f;
    }
    return nullptr;
}

std::vector<const FieldSpec *> labelsWithTag(int tag)
{
    std::vector<const FieldSpec *> members;
    for (const FieldSpec &f : components()) {
        if (f.kind == ComponentKind::Label && f.tag == tag)
            members.push_back(&f);
    }
    return members;
}

SheetFont windowFont()
{
    return SheetFont{};
}

std::span<const HoverHint> hoverHints()
{
    static constexpr HoverHint hints[] = {
        {"Label14", "Label1", ""},           {"Label15", "Label9", "Value for "},
        {"Label16", "Label10", "Value for "}, {"Label17", "Label11", ""},
        {"Label18", "Label12", "Value for "}, {"Label19", "Label13", ""},
        {"Label34", "Label22", "Value for "}, {"Label35", "Label23", "Value for "},
        {"Label36", "Label24", "Value for "},
    };
    return hints;
}

QString ColumnHeading(int column)
{
    return QStringLiteral("Label") + QString::number(25 + column);
}

QString TableKey(int column, int row)
{
    return QStringLiteral("Table") + QString::number(column) + QString::number(row);
}

} // namespace SheetFields
