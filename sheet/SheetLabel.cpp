#include "SheetLabel.h"

#include "FontConvert.h"

#include <QAccessible>
#include <QMouseEvent>

namespace {

std::optional<qint32> designColor(Background b)
{
    return b == Background::White ? std::optional<qint32>(Colors::White) : std::nullopt;
}

} // namespace

SheetLabel::SheetLabel(const FieldSpec &field, QWidget *parent)
    : QLabel(parent), m_field(&field), m_hint(QString::fromUtf8(field.hint)), m_font(field.font),
      m_autoSize(field.autoSize), m_rightEdge(field.geometry.right())
{
    setObjectName(field.nameString());
    setGeometry(field.geometry.left, field.geometry.top, field.geometry.width, field.geometry.height);
    setAlignment((field.alignment == Alignment::Right ? Qt::AlignRight : Qt::AlignLeft) |
                 Qt::AlignTop);
    setWordWrap(field.wordWrap);
    setToolTip(m_hint);
    setFocusPolicy(Qt::TabFocus); // a stop of the keyboard's way through the sheet
    setTextFormat(Qt::PlainText);
    setVisible(field.visible);
    FontConvert::apply(this, m_font, QPalette::WindowText);
    SetColor(designColor(field.background));
    SetCaption(field.textString());
}

void SheetLabel::SetHint(const QString &hint)
{
    m_hint = hint;
    setToolTip(hint);
}

void SheetLabel::SetCaption(const QString &caption)
{
    const bool changed = caption != text();
    setText(caption); // tells a screen reader the name may have changed
    fitToText();
    // An amount is named after its caption and described by its figure: the figure's change
    // is the description's.
    if (changed && QAccessible::isActive()) {
        QAccessibleEvent event(this, QAccessible::DescriptionChanged);
        QAccessible::updateAccessibility(&event);
    }
    emit CaptionChanged(caption);
}

void SheetLabel::SetFont(const SheetFont &font)
{
    m_font = font;
    FontConvert::apply(this, font, QPalette::WindowText);
    fitToText();
}

void SheetLabel::SetAutoSize(bool on)
{
    m_autoSize = on;
    fitToText();
}

std::optional<qint32> SheetLabel::DesignColor() const
{
    return designColor(m_field->background);
}

void SheetLabel::SetColor(std::optional<qint32> color)
{
    m_color = color;
    // A transparent label never paints a background, whatever its colour.
    if (color && m_field->background != Background::Transparent)
        FontConvert::fill(this, *color);
    else
        setAutoFillBackground(false);
}

void SheetLabel::ApplyEmptyTextRule()
{
    const bool hasText = !Caption().trimmed().isEmpty();
    if (hasText) {
        if (m_color == Colors::BtnFace)
            SetColor(designColor(m_field->background));
        SetAutoSize(true);
        return;
    }
    m_autoSize = false;
    SetColor(Colors::BtnFace);
    const int left = m_field->geometry.keepsRightEdge ? m_rightEdge - 75 : x();
    setGeometry(left, y(), 75, height());
}

void SheetLabel::fitToText()
{
    if (!m_autoSize)
        return;
    if (wordWrap()) {
        resize(width(), std::max(1, heightForWidth(width())));
        return;
    }
    const QSize hint = sizeHint();
    const int left = m_field->geometry.keepsRightEdge ? m_rightEdge - hint.width() : x();
    setGeometry(left, y(), hint.width(), hint.height());
}

void SheetLabel::mousePressEvent(QMouseEvent *event)
{
    m_click.press(event);
    if (OnMouseDown)
        OnMouseDown(this, event);
    event->accept();
}

void SheetLabel::mouseMoveEvent(QMouseEvent *event)
{
    if (OnMouseMove)
        OnMouseMove(this);
    QLabel::mouseMoveEvent(event);
}

void SheetLabel::mouseReleaseEvent(QMouseEvent *event)
{
    event->accept();
    if (m_click.release(this, event))
        emit Clicked(this);
}
