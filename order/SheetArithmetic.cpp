#include "SheetArithmetic.h"

#include "NumberText.h"
#include "SheetFields.h"
#include "SheetKeys.h"

#include <cmath>
#include <limits>

namespace SheetArithmetic {

bool AffectsExtended(int column)
{
    return column == SheetFields::QuantityColumn || column == SheetFields::UnitPriceColumn ||
           column == SheetFields::ExtendedColumn;
}

QString ExtendedAmount(QStringView quantity, QStringView unitPrice, QChar sep)
{
    const auto q = NumberText::parse(quantity, sep);
    const auto p = NumberText::parse(unitPrice, sep);
    if (!q || !p)
        return QString();
    return NumberText::format(*q * *p, sep);
}

namespace {

// "INF" or "-INF", as an amount too large for its sum shows (or "NAN", where both met): no
// number, but not zero either.
std::optional<long double> overflowOf(QStringView caption)
{
    const QStringView t = caption.trimmed();
    if (t == u"INF")
        return HUGE_VALL;
    if (t == u"-INF")
        return -HUGE_VALL;
    if (t == u"NAN")
        return std::numeric_limits<long double>::quiet_NaN(); // where INF and -INF met
    return std::nullopt;
}

// The caption as an amount to show again: its number, or an overflow kept as one.
std::optional<long double> shownAmount(QStringView caption, QChar sep)
{
    if (const auto v = NumberText::parse(caption, sep))
        return v;
    return overflowOf(caption);
}

} // namespace

QString FormatAmount(QStringView caption, QChar sep)
{
    const auto v = shownAmount(caption, sep);
    return NumberText::format(v ? *v : 0.0L, sep);
}

QString FormatDeduction(QStringView caption, QChar sep)
{
    const auto v = shownAmount(caption, sep);
    return NumberText::format(v ? -std::fabs(*v) : 0.0L, sep);
}

long double LineItemsTotal(std::span<const QString> extendedCells, QChar sep)
{
    long double cents = 0;
    for (const QString &cell : extendedCells) {
        if (const auto v = shownAmount(cell, sep))
            cents += NumberText::cents(*v);
    }
    return cents / 100;
}

long double TaxTotal(const TextReader &readText, QStringView shipping,
                     std::span<const QString> extendedCells, QChar sep)
{
    // Every part exact (a percentage of whole cents), rounded once to the cent at the end.
    long double tax = 0;
    const auto add = [&tax](std::optional<long double> rate, std::optional<long double> amount) {
        if (rate && amount && *rate != 0)
            tax += *rate * NumberText::cents(*amount) / 10000;
    };
    add(NumberText::parse(readText(SheetKeys::TaxOnShipping), sep), shownAmount(shipping, sep));
    for (int row = 0; row < int(extendedCells.size()); ++row) {
        const QString &cell = extendedCells[size_t(row)];
        if (cell.trimmed().isEmpty())
            continue;
        add(NumberText::parse(readText(SheetKeys::TaxOnRow(row)), sep), shownAmount(cell, sep));
    }
    return NumberText::cents(tax) / 100;
}

long double BalanceDue(FooterAmounts &a, QChar sep)
{
    a.subtotal = FormatAmount(a.subtotal, sep);
    a.discounts = FormatDeduction(a.discounts, sep);
    a.shipping = FormatAmount(a.shipping, sep);
    a.tax = FormatAmount(a.tax, sep);
    a.credited = FormatDeduction(a.credited, sep);
    long double cents = 0;
    for (const QString *text : {&a.subtotal, &a.discounts, &a.shipping, &a.tax, &a.credited})
        cents += NumberText::cents(shownAmount(*text, sep).value_or(0.0L));
    return cents / 100;
}

} // namespace SheetArithmetic
