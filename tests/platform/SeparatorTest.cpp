#include "QtPlatform.h"

#include <QLocale>
#include <gtest/gtest.h>

// A locale's separators are used only where the sheet files can hold them and read them back.
TEST(Separators, OnlySeparatorsTheFilesCanHoldAreUsed)
{
    const struct { const char *locale; char16_t decimal, date; } cases[] = {
        {"C", u'.', u'/'},
        {"en_US", u'.', u'/'},
        {"de_DE", u',', u'.'},
        {"fr_FR", u',', u'/'},
        {"ps_AF", u'.', u'/'},  // the Arabic decimal separator is not in Windows-1252
        {"ar_EG", u'.', u'/'},  // nor its separators, nor the right-to-left mark in its dates
    };
    QtPlatform platform;
    for (const auto &c : cases) {
        QLocale::setDefault(QLocale(QString::fromLatin1(c.locale)));
        EXPECT_EQ(platform.decimalSeparator(), QChar(c.decimal)) << c.locale;
        EXPECT_EQ(platform.dateSeparator(), QChar(c.date)) << c.locale;
    }
    QLocale::setDefault(QLocale::c());

    const struct { const char16_t *separator; char16_t expected; } raw[] = {
        {u",", u','}, {u"\u066B", u'.'}, {u"\u00A0", u'.'}, {u"-", u'.'}, {u"5", u'.'},
        {u"\u200F", u'.'}, {u"", u'.'}, {u"..", u'.'}, {u"'", u'\''},
    };
    for (const auto &r : raw)
        EXPECT_EQ(FileSafeSeparator(QStringView(r.separator), u'.'), QChar(r.expected));
}
