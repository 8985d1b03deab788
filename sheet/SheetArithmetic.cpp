#include "SheetArithmetic.h"

#include "NumberText.h"
#include "SheetFields.h"
#include "SheetKeys.h"

#include <cmath>

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

// "INF" or "-INF", as an amount too large for its sum shows: no number, but not zero either.
std::optional<long double> overflowOf(QStringView caption)
{
    const QStringView t = caption.trimmed();
    if (t == u"INF")
        return HUGE_VALL;
    if (t == u"-INF")
        return -HUGE_VALL;
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

float LineItemsTotal(std::span<const QString> extendedCells, QChar sep)
{
    float sum = 0;
    for (const QString &cell : extendedCells) {
        if (const auto v = NumberText::parse(cell, sep))
            sum = float(static_cast<long double>(sum) + *v);
    }
    return sum;
}

float TaxTotal(const TextReader &readText, QStringView shipping,
               std::span<const QString> extendedCells, QChar sep)
{
    float tax = 0;
    const auto shippingRate = NumberText::parse(readText(SheetKeys::TaxOnShipping), sep);
    const auto shippingAmount = NumberText::parse(shipping, sep);
    if (shippingRate && shippingAmount)
        tax = float((*shippingRate / 100) * *shippingAmount);

    for (int row = 0; row < int(extendedCells.size()); ++row) {
        const QString &cell = extendedCells[size_t(row)];
        if (cell.trimmed().isEmpty())
            continue;
        const auto rate = NumberText::parse(readText(SheetKeys::TaxOnRow(row)), sep);
        const auto amount = NumberText::parse(cell, sep);
        if (rate && amount)
            tax = float(static_cast<long double>(tax) + (*rate / 100) * *amount);
    }
    return tax;
}

float BalanceDue(FooterAmounts &a, QChar sep)
{
    a.subtotal = FormatAmount(a.subtotal, sep);
    a.discounts = FormatDeduction(a.discounts, sep);
    a.shipping = FormatAmount(a.shipping, sep);
    a.tax = FormatAmount(a.tax, sep);
    a.credited = FormatDeduction(a.credited, sep);
    long double sum = 0;
    for (const QString *text : {&a.subtotal, &a.discounts, &a.shipping, &a.tax, &a.credited})
        sum += NumberText::parse(*text, sep).value_or(0.0L);
    return float(sum);
}

} // namespace SheetArithmetic
