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

// Whether an amount has cents to keep: below 10^18 (from there no digit shows them).
bool hasCents(long double amount)
{
    return std::isfinite(amount) && std::fabs(amount) < 1e18L;
}

// A sum of amounts, exact to the cent: amounts are added as whole cents while they have any
// (below 10^18); larger ones, whose cents no digit shows, are added as they are, so that no
// amount the sheet can show overflows for being scaled to cents on the way.
class AmountSum
{
public:
    void add(long double amount)
    {
        if (hasCents(amount))
            m_cents += NumberText::cents(amount);
        else
            m_large += amount;
    }
    long double total() const { return m_large + m_cents / 100; }

private:
    long double m_cents = 0;
    long double m_large = 0;
};

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

QList<UncountedCell> UncountedCells(const QList<QStringList> &rows, QChar sep)
{
    QList<UncountedCell> found;
    for (int r = 0; r < rows.size(); ++r) {
        const QStringList &cells = rows[r];
        const auto text = [&cells](int column) {
            return column < cells.size() ? cells[column].trimmed() : QString();
        };
        for (const int column : {SheetFields::QuantityColumn, SheetFields::UnitPriceColumn}) {
            const QString t = text(column);
            if (!t.isEmpty() && !NumberText::parse(t, sep))
                found.append({r, column, t});
        }
    }
    return found;
}

long double LineItemsTotal(std::span<const QString> extendedCells, QChar sep)
{
    AmountSum sum;
    for (const QString &cell : extendedCells) {
        if (const auto v = shownAmount(cell, sep))
            sum.add(*v);
    }
    return sum.total();
}

long double TaxTotal(const TextReader &readText, QStringView shipping,
                     std::span<const QString> extendedCells, QChar sep)
{
    // Every part exact (a percentage of whole cents), rounded once to the cent at the end.
    // Amounts too large for cents are taxed as they are (scaled first, so as not to overflow).
    long double tax = 0, large = 0;
    const auto add = [&tax, &large](std::optional<long double> rate, std::optional<long double> amount) {
        if (!rate || !amount || *rate == 0)
            return;
        if (hasCents(*amount))
            tax += *rate * NumberText::cents(*amount) / 10000;
        else
            large += *amount / 100 * *rate;
    };
    add(NumberText::parse(readText(SheetKeys::TaxOnShipping), sep), shownAmount(shipping, sep));
    for (int row = 0; row < int(extendedCells.size()); ++row) {
        const QString &cell = extendedCells[size_t(row)];
        if (cell.trimmed().isEmpty())
            continue;
        add(NumberText::parse(readText(SheetKeys::TaxOnRow(row)), sep), shownAmount(cell, sep));
    }
    return large + NumberText::cents(tax) / 100;
}

long double BalanceDue(FooterAmounts &a, QChar sep)
{
    a.subtotal = FormatAmount(a.subtotal, sep);
    a.discounts = FormatDeduction(a.discounts, sep);
    a.shipping = FormatAmount(a.shipping, sep);
    a.tax = FormatAmount(a.tax, sep);
    a.credited = FormatDeduction(a.credited, sep);
    AmountSum sum;
    for (const QString *text : {&a.subtotal, &a.discounts, &a.shipping, &a.tax, &a.credited})
        sum.add(shownAmount(*text, sep).value_or(0.0L));
    return sum.total();
}

} // namespace SheetArithmetic
