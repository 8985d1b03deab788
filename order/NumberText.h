#pragma once

// Numbers on the sheet are texts: one parsing rule and one "0.00" output pattern serve
// the whole program. Both take the locale's decimal separator from the caller.

#include <QChar>
#include <QString>
#include <QStringView>
#include <optional>

namespace NumberText {

// Leading and trailing spaces, an optional sign, digits and/or the separator (at least
// one of them), then an optional exponent: E or e, an optional sign and digits, possibly
// none. "1e" is 1, a lone separator is 0; a lone sign, "$3.50" or "1,000.00" (with a
// point separator) is no number. A value beyond the extended range is no number either.
std::optional<long double> parse(QStringView text, QChar decimalSeparator);

// "0.00": at least one integer digit, exactly two decimals, no thousands separators, a
// leading "-" for negatives. The value is first reduced to 18 significant digits, then
// rounded half away from zero; a value that rounds to zero is "0.00", never "-0.00".
// Magnitudes of 10^18 and more have no room for fixed decimals and are written with an
// exponent, as in "1.5E+20"; infinities as "INF" and "-INF".
QString format(long double value, QChar decimalSeparator);

// The value in whole cents, rounded exactly as format() rounds it ("0.00" shows the cents
// of this number); magnitudes of 10^18 and more are only multiplied by 100, infinities
// stay infinite. Integer-valued, so that sums of amounts are exact (each amount is exact to
// the cent below 10^16, where its 18 significant digits hold all of its cents).
long double cents(long double value);

// The same, with a text placed before the digits and after any minus sign, as the
// pattern "%s0.00" does with a currency symbol: "$12.00", "-$12.00".
QString format(long double value, QChar decimalSeparator, QStringView prefix);

// A price as typed, with at least two decimals when it is a plain decimal number ("3.5" as
// "3.50", "4" as "4.00", "0.125" as it is), so that a column of prices lines up; anything
// else (an exponent, a text that is no number) as it is.
QString withTwoDecimals(QStringView text, QChar decimalSeparator);

} // namespace NumberText
