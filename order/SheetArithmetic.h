#pragma once

// The figures of the sheet, computed from the texts of its fields. Money is added in whole
// cents (each amount rounded as its "0.00" text shows it), so that every sum is exact to the
// cent for amounts below 10^16; a tax is exact until it is rounded, once, to the cent. A
// text that is no number contributes nothing; an amount that overflowed ("INF", "-INF")
// is shown as such and makes every sum that reads it an overflow too (both together: NAN).

#include <QChar>
#include <QList>
#include <QString>
#include <QStringList>
#include <QStringView>
#include <functional>
#include <span>

namespace SheetArithmetic {

// Whether typing into a column recomputes the line's extended amount.
bool AffectsExtended(int column);

// quantity x unit price in "0.00", or an empty text when either is no number.
QString ExtendedAmount(QStringView quantity, QStringView unitPrice, QChar sep);

// The caption parsed and formatted "0.00"; "0.00" when it is no number. An amount that
// overflowed ("INF", "-INF") stays one.
QString FormatAmount(QStringView caption, QChar sep);

// Minus the absolute value of the parsed caption in "0.00"; "0.00" when it is no number,
// "-INF" for an overflow.
QString FormatDeduction(QStringView caption, QChar sep);

// The subtotal: the extended amounts of the rows, in whole cents.
long double LineItemsTotal(std::span<const QString> extendedCells, QChar sep);

// A quantity or unit price that is typed but no number: its row has no amount, the subtotal
// leaves it out, and it prints without an amount ("2" x "$3.50") or not at all ("two" x "3").
struct UncountedCell
{
    int row;
    int column;
    QString text;
};
// Row by row, the quantity before the price; rows are the table's cells, column by column.
QList<UncountedCell> UncountedCells(const QList<QStringList> &rows, QChar sep);

// Reads the "TextValue" of a sheet section, as the sheet's caption store does.
using TextReader = std::function<QString(const QString &section)>;

// The tax: the shipping percentage of the shipping amount, then each row with a
// non-blank extended amount taxed at its stored percentage; the sum rounded to the cent
// once. A row's percentage is read only when the row is visited.
long double TaxTotal(const TextReader &readText, QStringView shipping,
                     std::span<const QString> extendedCells, QChar sep);

// The five footer amounts above the balance, as their captions read.
struct FooterAmounts
{
    QString subtotal;  // Label14
    QString discounts; // Label15
    QString shipping;  // Label16
    QString tax;       // Label17
    QString credited;  // Label18
};

// Normalises the five amounts in place (discounts and credits always subtracted) and
// returns their sum: the figures exactly as they now read.
long double BalanceDue(FooterAmounts &amounts, QChar sep);

} // namespace SheetArithmetic
