#pragma once

#include <QString>

// Sheet-file sections that belong to no field.
namespace SheetKeys {

inline const QString Image1 = QStringLiteral("Image1");
inline const QString StringGrid1 = QStringLiteral("StringGrid1");
inline const QString Currency = QStringLiteral("Currency");
inline const QString Country = QStringLiteral("Country");
inline const QString TaxOnShipping = QStringLiteral("Tax-on-Shipping");
inline const QString TaxForm = QStringLiteral("TaxForm");
inline const QString PONumber = QStringLiteral("PONumber");
inline const QString NoShow = QStringLiteral("NoShow");

// The tax percentage of a line-item row: "Tax-On-Table4" followed by the row.
inline QString TaxOnRow(int row)
{
    return QStringLiteral("Tax-On-Table4") + QString::number(row);
}

} // namespace SheetKeys
