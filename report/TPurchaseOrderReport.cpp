#include "TPurchaseOrderReport.h"

#include "GenUtils.h"
#include "LogoLoader.h"
#include "NumberText.h"
#include "Platform.h"
#include "SheetKeys.h"
#include "StartupSheet.h"
#include "TCaptionSaver.h"
#include "TFontSaver.h"

#include <QFileInfo>

namespace {

constexpr qint32 Red = 0x0000FF, Maroon = 0x000080, Navy = 0x800000;
constexpr int MoneyTag = 10;
constexpr int CompanyLineTag = 110;
constexpr int LastRow = 8; // the report's own constant: nine rows, 0 to 8
constexpr int TableColumnGroup = 1000; // clear of the sheet's tags

// The texts that take one font together on the sheet (the same tag) print in one size.
int fontGroup(const QString &key)
{
    const FieldSpec *field = SheetFields::find(key);
    if (!field || SheetFields::labelsWithTag(field->tag).size() < 2)
        return 0;
    return field->tag + 1; // tag 0 is a group too
}

SheetFont font(const char *name, int points, bool bold = false, qint32 color = Colors::WindowText)
{
    SheetFont f;
    f.name = QString::fromLatin1(name);
    f.size = points;
    f.style.bold = bold;
    f.color = color;
    return f;
}

ReportElement shape(ReportElement::Kind kind, const char *name, QRectF box, QColor pen = Qt::black)
{
    ReportElement e;
    e.kind = kind;
    e.name = QString::fromLatin1(name);
    e.left = box.left();
    e.top = box.top();
    e.width = box.width();
    e.height = box.height();
    e.pen = pen;
    return e;
}

} // namespace

TPurchaseOrderReport::TPurchaseOrderReport(const QString &sheetFileName,
                                           SheetFields::LineItemRows lineItems, QObject *parent)
    : QObject(parent), LineItems(std::move(lineItems))
{
    setObjectName(QStringLiteral("PurchaseOrderReport"));
    CaptionSaver1 = new TCaptionSaver(this);
    FontSaver1 = new TFontSaver(this);
    for (TIniStore *store : {static_cast<TIniStore *>(CaptionSaver1), static_cast<TIniStore *>(FontSaver1)}) {
        store->SetIniName(StartupSheet::ConfigFileName);
        store->SetIniPath(UserPath);
        store->BindConfiguredFile();
    }
    QuickRep1.beforePrint = [this] { return QuickRep1BeforePrint(); };
    buildDetailBand();
    buildChildBand();
    buildLineItemBand();
    buildSummaryBand();
    FormCreate(sheetFileName);
}

void TPurchaseOrderReport::FormCreate(const QString &sheetFileName)
{
    CaptionSaver1->SetIniFileName(sheetFileName);
    FontSaver1->SetIniFileName(sheetFileName);
}

QString TPurchaseOrderReport::lineItem(int column) const
{
    if (FPrintRow < 0 || FPrintRow >= LineItems.size() || column >= LineItems[FPrintRow].size())
        return QString();
    return LineItems[FPrintRow][column];
}

ReportElement &TPurchaseOrderReport::keyedText(ReportBand &band, const char *name, const char *key,
                                               const char *text, QRectF box, const SheetFont &f)
{
    ReportElement e = shape(ReportElement::Kind::Text, name, box);
    e.key = QString::fromLatin1(key);
    e.text = QString::fromLatin1(text);
    e.font = e.designFont = f;
    e.group = fontGroup(e.key);
    e.onPrint = [this](ReportElement &el, QString &value) { QRLabelPrint(el, value); };
    band.elements.push_back(std::move(e));
    return band.elements.back();
}

ReportElement &TPurchaseOrderReport::autoSizedText(ReportBand &band, const char *name,
                                                   const char *key, const char *text, QRectF box,
                                                   const SheetFont &f, bool rightAligned)
{
    ReportElement &e = keyedText(band, name, key, text, box, f);
    e.autoSize = true;
    e.alignment = rightAligned ? Qt::AlignRight : Qt::AlignLeft;
    return e;
}

void TPurchaseOrderReport::buildDetailBand()
{
    ReportBand band;
    band.kind = ReportBand::Kind::Detail;
    band.name = QStringLiteral("DetailBand1");
    band.height = 367;
    band.beforePrint = [this] { return DetailBand1BeforePrint(); };

    ReportElement logo = shape(ReportElement::Kind::Image, "QRImage1", {4, 4, 100, 100});
    logo.key = SheetKeys::Image1;
    band.elements.push_back(logo);

    const SheetFont arial8b = font("Arial", 8, true);
    // Its right edge is the rule's below it, clear of the edge of the printable area.
    constexpr QRectF titleBox{521, 2, 191, 32};
    // The lines beside the title end before it: a long company name wraps rather than shrink it.
    struct Line { const char *name, *key, *text; int top; double width; };
    for (const Line &l : {Line{"QRLabel3", "Label2", "My Company Name", 3, 106},
                          {"QRLabel5", "Label3", "Company Address 1", 24, 113},
                          {"QRLabel6", "Label4", "Company Address 2", 45, 113},
                          {"QRLabel4", "Label6", "Company Address 3", 66, 113},
                          {"QRLabel7", "Label5", "Company Address 4", 87, 113}}) {
        ReportElement &line = autoSizedText(band, l.name, l.key, l.text, {107, double(l.top), l.width, 17}, arial8b);
        line.tag = CompanyLineTag;
        if (l.top < titleBox.bottom())
            line.maxRight = titleBox.left() - 4;
    }
    ReportElement &title = keyedText(band, "QRLabel1", "Label7", "PURCHASE ORDER", titleBox,
                                     font("Arial", 16, true, Red));
    title.alignment = Qt::AlignRight;
    title.autoSize = true;
    title.autoStretch = true;
    band.elements.push_back(shape(ReportElement::Kind::HorizontalLine, "QRShape1", {7, 127, 705, 8}));
    keyedText(band, "QRText15", "Label8", "QRText15", {32, 150, 309, 85}, font("Arial", 8));

    struct Identity { const char *caption, *captionKey, *captionText; int captionTop; double captionWidth;
                      const char *value, *valueKey; int valueTop; };
    const SheetFont maroon = font("Arial", 10, true, Maroon);
    const SheetFont courier10 = font("Courier New", 10);
    for (const Identity &i : {Identity{"QRLabel11", "Label20", "PO Number:", 146, 78, "QRText23", "labelPONumber", 147},
                              {"QRLabel10", "Label21", "Date: ", 164, 38, "QRText27", "labelPODate", 164},
                              {"QRLabel12", "Label22", "Account No:", 182, 77, "QRText24", "Label34", 183},
                              {"QRLabel9", "Label23", "Terms: ", 200, 48, "QRText22", "Label35", 201},
                              {"QRLabel21", "Label24", "Ship Via:", 218, 59, "QRText14", "Label36", 219}}) {
        autoSizedText(band, i.caption, i.captionKey, i.captionText,
                      {414, double(i.captionTop), i.captionWidth, 17}, maroon);
        autoSizedText(band, i.value, i.valueKey, "[Blank]", {498, double(i.valueTop), 57, 17}, courier10);
    }

    const SheetFont arial8 = font("Arial", 8);
    band.elements.push_back(shape(ReportElement::Kind::Rectangle, "QRShape4", {48, 253, 284, 98}));
    ReportElement vendor = shape(ReportElement::Kind::Text, "QRLabel13", {52, 256, 45, 17});
    vendor.text = QStringLiteral("Vendor:");
    vendor.font = arial8b;
    vendor.autoSize = true;
    band.elements.push_back(vendor);
    struct Block { const char *name, *key; double left, top, height; bool right; };
    // The blocks' texts stay inside their frames (4 units clear of each side).
    for (const Block &b : {Block{"QRText32", "Label41", 59, 286, 17, false}, {"QRText25", "Label42", 267, 286, 17, true},
                           {"QRText28", "Label43", 59, 302, 17, false}, {"QRText26", "Label44", 59, 318, 17, false}}) {
        ReportElement &e = autoSizedText(band, b.name, b.key, "[Blank]", {b.left, b.top, 33, b.height}, arial8, b.right);
        e.minLeft = 48 + 4;
        e.maxRight = 48 + 284 - 4;
    }
    band.elements.push_back(shape(ReportElement::Kind::Rectangle, "QRShape2", {389, 253, 284, 98}));
    autoSizedText(band, "QRLabel8", "", "Ship To:", {392, 255, 45, 17}, arial8b);
    for (const Block &b : {Block{"QRText8", "Label32", 407, 279, 17, false}, {"QRText20", "Label37", 621, 280, 16, true},
                           {"QRText21", "Label33", 407, 294, 17, false}, {"QRText9", "Label38", 407, 310, 17, false},
                           {"QRText7", "Label40", 407, 325, 17, false}}) {
        ReportElement &e = autoSizedText(band, b.name, b.key, "[Blank]", {b.left, b.top, 33, b.height}, arial8, b.right);
        e.minLeft = 389 + 4;
        e.maxRight = 389 + 284 - 4;
    }
    QuickRep1.bands.push_back(std::move(band));
}

void TPurchaseOrderReport::buildChildBand()
{
    ReportBand band;
    band.kind = ReportBand::Kind::Child;
    band.name = QStringLiteral("ChildBand1");
    band.height = 21;
    band.frameTop = band.frameBottom = true;
    const SheetFont arial10b = font("Arial", 10, true);
    struct Heading { const char *name, *key, *text; double left, width; bool right; };
    for (const Heading &h : {Heading{"QRQtyLabel", "Label25", "Qty", 8, 22, false},
                             {"QRLabel20", "Label26", "Units", 61, 32, false},
                             {"QRProductNoLabel", "Label27", "Product No.", 124, 75, false},
                             {"QRNameLabel", "Label28", "Name", 214, 38, false},
                             {"QRDescriptionLabel", "Label29", "Description", 345, 72, false},
                             {"QRUnitPriceLabel", "Label30", "Unit Price", 575, 63, true},
                             {"QRLineTotalLabel", "Label31", "Extended", 650, 61, true}})
        autoSizedText(band, h.name, h.key, h.text, {h.left, 2, h.width, 17}, arial10b, h.right);
    QuickRep1.bands.push_back(std::move(band));
}

void TPurchaseOrderReport::buildLineItemBand()
{
    ReportBand band;
    band.kind = ReportBand::Kind::SubDetail;
    band.name = QStringLiteral("QRSubDetail1");
    band.height = 38;
    band.needData = [this] { return QRSubDetail1NeedData(); };
    band.beforePrint = [this] { return QRSubDetail1BeforePrint(); };
    struct Column { const char *name; double left, width; bool stretch, right; };
    const Column columns[] = {{"QRText2", 9, 48, false, false},   {"QRLabel19", 61, 58, false, false},
                              {"QRText3", 123, 87, true, false},  {"QRText5", 212, 130, true, false},
                              {"QRText6", 343, 219, true, false}, {"QRText12", 564, 73, false, true},
                              {"QRLabel18", 640, 73, false, true}};
    for (int c = 0; c < 7; ++c) {
        const Column &col = columns[c];
        ReportElement e = shape(ReportElement::Kind::Text, col.name, {col.left, 3, col.width, 29});
        e.text = QStringLiteral("[Blank]");
        e.font = e.designFont = font("Courier New", 10);
        e.autoStretch = col.stretch;
        e.alignment = col.right ? Qt::AlignRight : Qt::AlignLeft;
        e.tag = col.right ? MoneyTag : 0;
        e.group = TableColumnGroup + c; // a column prints in one size
        e.onPrint = [this, c](ReportElement &el, QString &value) { lineItemPrint(el, value, c); };
        band.elements.push_back(std::move(e));
    }
    QuickRep1.bands.push_back(std::move(band));
}

void TPurchaseOrderReport::buildSummaryBand()
{
    ReportBand band;
    band.kind = ReportBand::Kind::Summary;
    band.name = QStringLiteral("QRBand3");
    band.height = 154;
    band.elements.push_back(shape(ReportElement::Kind::HorizontalLine, "QRShape7", {6, 7, 705, 1}));
    const SheetFont verdana = font("Verdana", 9, true, Colors::Black);
    const SheetFont courier11 = font("Courier New", 11, true);
    struct Row { const char *caption, *captionKey, *captionText; double captionWidth;
                 const char *amount, *amountKey, *amountText; int top; };
    for (const Row &r : {Row{"QRLabel24", "Label1", "SUBTOTAL", 73, "QRLabel2", "Label14", "0.00", 11},
                         {"QRLabel26", "Label9", "Discounts", 65, "QRLabel14", "Label15", "(0.00)", 31},
                         {"QRLabel25", "Label10", "Shipping", 58, "QRLabel15", "Label16", "0.00", 52},
                         {"QRProvincialTaxLabel2", "Label11", "Provincial Tax", 95, "QRLabel16", "Label17", "0.00", 72},
                         {"QRCreditedLabel2", "Label12", "Credited", 57, "QRLabel17", "Label18", "(0.00)", 105},
                         {"QRLabel28", "Label13", "TOTAL DUE", 77, "QRTotalLabel2", "Label19", "0.00", 126}}) {
        autoSizedText(band, r.caption, r.captionKey, r.captionText,
                      {589 - r.captionWidth, double(r.top), r.captionWidth, 19}, verdana, true)
            .transparent = true;
        ReportElement &amount = keyedText(band, r.amount, r.amountKey, r.amountText, {597, double(r.top), 115, 18}, courier11);
        amount.alignment = Qt::AlignRight;
        amount.transparent = true;
        amount.tag = MoneyTag;
    }
    // Which currency the amounts are in, when the order names one (as the panel's title does).
    ReportElement currency = shape(ReportElement::Kind::Text, "CurrencyNote", {25, 11, 229, 17});
    currency.font = currency.designFont = font("Arial", 8);
    currency.autoSize = true;
    currency.transparent = true;
    currency.onPrint = [this](ReportElement &, QString &value) {
        const QString code = CaptionSaver1->ReadText(SheetKeys::Country).trimmed();
        const QString symbol = CaptionSaver1->ReadText(SheetKeys::Currency).trimmed();
        value = code.isEmpty() || symbol.isEmpty()
                    ? QString()
                    : QStringLiteral("Amounts in %1 (%2)").arg(code, symbol);
    };
    band.elements.push_back(std::move(currency));
    band.elements.push_back(shape(ReportElement::Kind::HorizontalLine, "QRShape8", {25, 117, 229, 10},
                                  QColor(0, 0, 128)));
    autoSizedText(band, "QRApprovalLabel2", "Label39", "Approval", {25, 125, 45, 17}, font("Arial", 8))
        .transparent = true;
    QuickRep1.bands.push_back(std::move(band));
}

bool TPurchaseOrderReport::QuickRep1BeforePrint()
{
    FPrintRow = -1;
    return true;
}

bool TPurchaseOrderReport::DetailBand1BeforePrint()
{
    ReportBand &band = QuickRep1.band(QStringLiteral("DetailBand1"));
    ReportElement &logo = band.element(QStringLiteral("QRImage1"));
    const QString path = CaptionSaver1->ReadText(SheetKeys::Image1);
    double w = 0;
    bool failed = false;
    if (QFileInfo::exists(path)) {
        if (const auto picture = LogoLoader::load(path))
            logo.picture = *picture;
        else
            failed = true;
    }
    if (failed)
        logo.picture = QImage(); // nothing loaded
    else
        w = (logo.picture.isNull() ? 0 : logo.picture.width()) + 10;
    for (ReportBand &b : QuickRep1.bands) {
        for (ReportElement &e : b.elements) {
            if (e.kind == ReportElement::Kind::Text && e.tag == CompanyLineTag)
                e.left = logo.left + w;
        }
    }
    return true;
}

void TPurchaseOrderReport::QRLabelPrint(ReportElement &element, QString &value)
{
    if (element.key.isEmpty())
        return;
    value = CaptionSaver1->ReadTextDefault(element.key, value);
    element.font = FontSaver1->ReadFont(element.key, element.designFont);
    if (element.tag != MoneyTag)
        return;
    const long double amount = NumberText::parse(value, platform().decimalSeparator()).value_or(0);
    const QString symbol = CaptionSaver1->ReadText(SheetKeys::Currency);
    value = amount >= 0 ? symbol + value
                        : QStringLiteral("-") + symbol + ReplaceAll(value, QStringLiteral("-"), QString());
}

bool TPurchaseOrderReport::QRSubDetail1NeedData()
{
    return FPrintRow < LastRow;
}

bool TPurchaseOrderReport::QRSubDetail1BeforePrint()
{
    ++FPrintRow;
    // A row prints when it has a quantity, and also whenever the subtotal counts it (a tiny
    // or negative quantity with an amount), so that the printed rows add up to the subtotal.
    const QChar sep = platform().decimalSeparator();
    if (NumberText::parse(lineItem(SheetFields::QuantityColumn), sep).value_or(0) >= 0.01L)
        return true;
    const QString extended = lineItem(SheetFields::ExtendedColumn);
    const QStringView trimmed = QStringView(extended).trimmed();
    if (trimmed == u"INF" || trimmed == u"-INF")
        return true;
    return NumberText::cents(NumberText::parse(extended, sep).value_or(0)) != 0;
}

void TPurchaseOrderReport::lineItemPrint(ReportElement &element, QString &value, int column)
{
    value = lineItem(column);
    if (column == SheetFields::UnitPriceColumn) // lined up as the amounts are
        value = NumberText::withTwoDecimals(value, platform().decimalSeparator());
    element.font = FontSaver1->ReadFont(SheetKeys::StringGrid1, element.designFont);
    if (column == SheetFields::UnitPriceColumn || column == SheetFields::ExtendedColumn)
        value = CaptionSaver1->ReadText(SheetKeys::Currency) + value;
}
