#include "NumberText.h"

#include <charconv>
#include <cmath>
#include <cstdlib>
#include <locale.h>
#include <string>

namespace NumberText {

namespace {

bool isDigit(QChar c)
{
    return c >= u'0' && c <= u'9';
}

// strtold under the "C" locale, whatever locale the program runs in.
long double strtoldC(const char *text)
{
    static const locale_t c = newlocale(LC_NUMERIC_MASK, "C", locale_t(nullptr));
    return strtold_l(text, nullptr, c);
}

} // namespace

std::optional<long double> parse(QStringView text, QChar decimalSeparator)
{
    qsizetype i = 0, n = text.size();
    while (i < n && text[i] == u' ')
        ++i;
    while (n > i && text[n - 1] == u' ')
        --n;

    std::string ascii; // the same number in the C library's own syntax
    ascii.reserve(size_t(n - i) + 4);
    if (i < n && (text[i] == u'+' || text[i] == u'-'))
        ascii += char(text[i++].unicode());
    bool mantissa = false;
    while (i < n && isDigit(text[i])) {
        ascii += char(text[i++].unicode());
        mantissa = true;
    }
    if (i < n && text[i] == decimalSeparator) {
        ascii += '.';
        ++i;
        mantissa = true;
        while (i < n && isDigit(text[i]))
            ascii += char(text[i++].unicode());
        ascii += '0'; // "." and "5." are numbers here; give the C library a digit to read
    }
    if (!mantissa)
        return std::nullopt;

    if (i < n && (text[i] == u'e' || text[i] == u'E')) {
        std::string exponent;
        ++i;
        if (i < n && (text[i] == u'+' || text[i] == u'-'))
            exponent += char(text[i++].unicode());
        bool digits = false;
        while (i < n && isDigit(text[i])) {
            exponent += char(text[i++].unicode());
            digits = true;
        }
        if (digits)
            ascii += 'e' + exponent;
    }
    if (i != n)
        return std::nullopt;

    const long double value = strtoldC(ascii.c_str());
    if (std::isinf(value))
        return std::nullopt;
    return value;
}

namespace {

// |value| to eighteen significant digits, exactly as its decimal expansion rounds them, and
// the power of ten of the first: d0.d1...d17 x 10^exponent. std::to_chars writes the C
// locale's form whatever locale the C library was given (under ps_AF its decimal point is
// two bytes).
struct Significant
{
    std::string digits;
    int exponent = 0;
};

Significant significant(long double value)
{
    char buf[64];
    const auto written = std::to_chars(buf, buf + sizeof buf, std::fabs(value), std::chars_format::scientific, 17);
    Significant s;
    s.digits.assign(1, buf[0]);
    s.digits.append(buf + 2, 17); // after "d."
    const char *e = buf + 20;     // after "d.ddddddddddddddddde"
    if (*e == '+')
        ++e;
    std::from_chars(e, written.ptr, s.exponent);
    return s;
}

// The digits of |value| rounded at the second decimal, half away from zero: the integer
// digits (at least one) and then two decimals. Only for exponents below 18.
std::string centDigits(const Significant &s)
{
    const int keep = s.exponent + 3; // digits left of the cut: integer part and two decimals
    std::string kept = keep > 0 ? s.digits.substr(0, size_t(keep)) : std::string();
    if (keep > int(kept.size()))
        kept.append(size_t(keep) - kept.size(), '0');
    const bool roundUp = keep >= 0 && keep < 18 && s.digits[size_t(keep)] >= '5';
    if (kept.size() < 3)
        kept.insert(0, 3 - kept.size(), '0');
    if (roundUp) {
        int k = int(kept.size()) - 1;
        while (k >= 0 && kept[size_t(k)] == '9')
            kept[size_t(k--)] = '0';
        if (k < 0)
            kept.insert(0, 1, '1');
        else
            ++kept[size_t(k)];
    }
    return kept;
}

} // namespace

long double cents(long double value)
{
    if (!std::isfinite(value))
        return value;
    const Significant s = significant(value);
    if (s.exponent >= 18)
        return value * 100; // beyond fixed decimals: nothing left to round
    long double whole = 0;
    for (const char digit : centDigits(s))
        whole = whole * 10 + (digit - '0'); // exact up to 2^64 cents (amounts below 1.8E+17)
    return whole == 0 ? 0.0L : std::signbit(value) ? -whole : whole;
}

QString format(long double value, QChar decimalSeparator)
{
    return format(value, decimalSeparator, {});
}

QString format(long double value, QChar decimalSeparator, QStringView prefix)
{
    const QString sign = std::signbit(value) ? QStringLiteral("-") : QString();
    if (std::isnan(value))
        return prefix.toString() + QStringLiteral("NAN");
    if (std::isinf(value))
        return sign + prefix.toString() + QStringLiteral("INF");

    const Significant s = significant(value);
    QString body;
    if (s.exponent >= 18) {
        // No room for fixed decimals: the significant digits with an exponent.
        std::string digits = s.digits;
        while (digits.size() > 1 && digits.back() == '0')
            digits.pop_back();
        body = QString(QChar(digits[0]));
        if (digits.size() > 1)
            body += decimalSeparator + QString::fromLatin1(digits.data() + 1, qsizetype(digits.size() - 1));
        body += QStringLiteral("E+%1").arg(s.exponent);
    } else {
        const std::string kept = centDigits(s);
        if (kept.find_first_not_of('0') == std::string::npos)
            return prefix.toString() + u'0' + decimalSeparator + QStringLiteral("00");
        const QString all = QString::fromLatin1(kept.data(), qsizetype(kept.size()));
        body = all.first(all.size() - 2) + decimalSeparator + all.last(2);
    }
    return sign + prefix.toString() + body;
}

QString withTwoDecimals(QStringView text, QChar decimalSeparator)
{
    const QStringView t = text.trimmed();
    if (!parse(t, decimalSeparator))
        return text.toString();
    qsizetype i = (t.startsWith(u'-') || t.startsWith(u'+')) ? 1 : 0;
    qsizetype digits = 0;
    while (i < t.size() && isDigit(t[i]))
        ++i, ++digits;
    if (digits == 0)
        return text.toString(); // ".5": not padded at its front either
    if (i == t.size())
        return t.toString() + decimalSeparator + QStringLiteral("00");
    if (t[i] != decimalSeparator)
        return text.toString(); // an exponent
    qsizetype decimals = 0;
    for (qsizetype k = i + 1; k < t.size(); ++k) {
        if (!isDigit(t[k]))
            return text.toString();
        ++decimals;
    }
    return t.toString() + QString(std::max<qsizetype>(0, 2 - decimals), u'0');
}

} // namespace NumberText
