#pragma once

// The printed purchase order: a banded report laid out for US Letter whose keyed texts,
// fonts, currency symbol and logo come from the sheet file just saved, and whose line
// items are the sheet table's texts, given as they stand when it prints.

#include "ReportEngine.h"
#include "SheetFields.h"

#include <QObject>

class TCaptionSaver;
class TFontSaver;

class TPurchaseOrderReport : public QObject
{
    Q_OBJECT
public:
    explicit TPurchaseOrderReport(const QString &sheetFileName,
                                  SheetFields::LineItemRows lineItems = {}, QObject *parent = nullptr);

    Report QuickRep1;
    TCaptionSaver *CaptionSaver1;
    TFontSaver *FontSaver1;
    SheetFields::LineItemRows LineItems;

    // Lays the order out (events included), as the preview and the printer do.
    std::vector<ReportPage> Run() { return QuickRep1.run(); }

private:
    void FormCreate(const QString &sheetFileName);
    QString lineItem(int column) const;
    bool QuickRep1BeforePrint();
    bool DetailBand1BeforePrint();
    void QRLabelPrint(ReportElement &element, QString &value);
    bool QRSubDetail1NeedData();
    bool QRSubDetail1BeforePrint();
    void lineItemPrint(ReportElement &element, QString &value, int column);

    void buildDetailBand();
    void buildChildBand();
    void buildLineItemBand();
    void buildSummaryBand();
    ReportElement &keyedText(ReportBand &band, const char *name, const char *key, const char *text,
                             QRectF box, const SheetFont &font);
    // A keyed text whose width follows its text, growing from its left or right edge.
    ReportElement &autoSizedText(ReportBand &band, const char *name, const char *key,
                                 const char *text, QRectF box, const SheetFont &font,
                                 bool rightAligned = false);

    int FPrintRow = -1;
};
