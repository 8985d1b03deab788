// Program entry: the application object and its windows.

#include "FontConvert.h"
#include "TPurchaseOrderForm.h"

#include <QApplication>

int main(int argc, char *argv[])
{
    QApplication app(argc, argv);
    QApplication::setApplicationName(QStringLiteral("pelmora-po"));
    QApplication::setApplicationDisplayName(QStringLiteral("The Purchase Order Form"));
    FontConvert::installFontSubstitutions();

    TPurchaseOrderForm sheet; // chooses and opens the start-up sheet
    sheet.show();             // loads it, behind the progress window
    return app.exec();
}
