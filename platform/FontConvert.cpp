#include "FontConvert.h"

#include <QFontInfo>
#include <QWidget>

#include <cmath>

namespace FontConvert {

void installFontSubstitutions()
{
    QFont::insertSubstitution(QStringLiteral("MS Sans Serif"), QStringLiteral("Liberation Sans"));
    QFont::insertSubstitution(QStringLiteral("Arial"), QStringLiteral("Liberation Sans"));
    QFont::insertSubstitution(QStringLiteral("Courier New"), QStringLiteral("Liberation Mono"));
    QFont::insertSubstitution(QStringLiteral("Times New Roman"), QStringLiteral("Liberation Serif"));
    QFont::insertSubstitution(QStringLiteral("Verdana"), QStringLiteral("DejaVu Sans"));
}

QFont toQFont(const SheetFont &font)
{
    QFont f(font.name);
    // A hand-edited file may hold any size; keep what is drawn within reason.
    f.setPointSize(std::clamp(font.size, 1, 400));
    f.setBold(font.style.bold);
    f.setItalic(font.style.italic);
    f.setUnderline(font.style.underline);
    f.setStrikeOut(font.style.strikeOut);
    return f;
}

QColor toQColor(qint32 color)
{
    return QColor(QRgb(0xFF000000u | Colors::toRgb(color)));
}

SheetFont fromQFont(const QFont &font, const QColor &color)
{
    SheetFont f;
    f.name = font.family();
    f.size = font.pointSize() > 0 ? font.pointSize() : int(std::lround(font.pointSizeF()));
    f.color = Colors::fromRgb(color.rgb() & 0xFFFFFF);
    f.style = {font.bold(), font.italic(), font.underline(), font.strikeOut()};
    return f;
}

QFont forFontDialog(const SheetFont &font)
{
    QFont f = toQFont(font);
    f.setFamily(QFontInfo(f).family());
    return f;
}

SheetFont fromFontDialog(const SheetFont &given, const QFont &chosen)
{
    SheetFont f = fromQFont(chosen, toQColor(given.color));
    f.color = given.color; // the dialog offers no colour: keep the stored one
    if (chosen.family() == forFontDialog(given).family())
        f.name = given.name;
    return f;
}

void apply(QWidget *widget, const SheetFont &font, QPalette::ColorRole textRole)
{
    widget->setFont(toQFont(font));
    QPalette p = widget->palette();
    p.setColor(textRole, toQColor(font.color));
    widget->setPalette(p);
}

void fill(QWidget *widget, qint32 color)
{
    widget->setAutoFillBackground(true);
    QPalette p = widget->palette();
    p.setColor(QPalette::Window, toQColor(color));
    widget->setPalette(p);
}

} // namespace FontConvert
