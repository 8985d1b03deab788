#pragma once

#include <QChar>
#include <QDateTime>
#include <QString>

// The sheet's clock-made texts.
namespace SheetDates {

// "hhnn-mmddyyyy": 14:05 on 7 December 2026 gives 1405-12072026.
QString PONumber(const QDateTime &now);

// "mm/dd/yyyy", the "/" being the locale's date separator.
QString PODate(const QDate &date, QChar separator);

} // namespace SheetDates
