#include "NumberText.h"

#include <cmath>
#include <cstdio>
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

    // Eighteen significant digits, exactly as the decimal expansion rounds them.
    char buf[64];
    std::snprintf(buf, sizeof buf, "%.17Le", value);
    const char *p = buf + (buf[0] == '-' ? 1 : 0);
    std::string digits{p[0]};
    digits.append(p + 2, 17);
    const int exponent = std::atoi(p + 20); // after "d.ddddddddddddddddde"

    QString body;
    if (exponent >= 18) {
        // No room for fixed decimals: the significant digits with an exponent.
        std::string s = digits;
        while (s.size() > 1 && s.back() == '0')
            s.pop_back();
        body = QString(QChar(s[0]));
        if (s.size() > 1)
            body += decimalSeparator + QString::fromLatin1(s.data() + 1, qsizetype(s.size() - 1));
        body += QStringLiteral("E+%1").arg(exponent);
    } else {
        // digits d0 d1 ... d17 stand for d0.d1d2... x 10^exponent; round at 10^-2.
        const int keep = exponent + 3; // digits left of the cut: integer part and two decimals
        std::string kept = keep > 0 ? digits.substr(0, size_t(keep)) : std::string();
        if (keep > int(kept.size()))
            kept.append(size_t(keep) - kept.size(), '0'); // whole numbers past 18 digits
        const bool roundUp = keep >= 0 && keep < 18 && digits[size_t(keep)] >= '5';
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
        if (kept.find_first_not_of('0') == std::string::npos)
            return prefix.toString() + u'0' + decimalSeparator + QStringLiteral("00");
        const QString all = QString::fromLatin1(kept.data(), qsizetype(kept.size()));
        body = all.first(all.size() - 2) + decimalSeparator + all.last(2);
    }
    return sign + prefix.toString() + body;
}

} // namespace NumberText
