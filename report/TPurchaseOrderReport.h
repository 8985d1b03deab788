#pragma once

// The printed purchase order: a banded report laid out for US Letter whose keyed texts,
// fonts, currency symbol and logo come from the sheet file just saved, and whose line
// items come straight from the sheet's table.

#include "ReportEngine.h"

#include <QObject>

class TCaptionSaver;
class TFontSaver;
class TPurchaseOrderForm;

class TPurchaseOrderReport : public QObject
{
    Q_OBJECT
public:
    explicit TPurchaseOrderReport(TPurchaseOrderForm *owner);

    Report QuickRep1;
    TCaptionSaver *CaptionSaver1;
    TFontSaver *FontSaver1;

    // Lays the order out (events included), as the preview and the printer do.
    std::vector<ReportPage> Run() { return QuickRep1.run(); }

private:
    void FormCreate();
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

    TPurchaseOrderForm *m_sheet;
    int FPrintRow = -1;
};
