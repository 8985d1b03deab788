#include "SheetDates.h"

#include <QLocale>

namespace SheetDates {

QString PONumber(const QDateTime &now)
{
    return QLocale::c().toString(now, QStringLiteral("HHmm-MMddyyyy"));
}

QString PODate(const QDate &date, QChar separator)
{
    const QLocale c = QLocale::c();
    return c.toString(date, QStringLiteral("MM")) + separator + c.toString(date, QStringLiteral("dd")) +
           separator + c.toString(date, QStringLiteral("yyyy"));
}

} // namespace SheetDates
