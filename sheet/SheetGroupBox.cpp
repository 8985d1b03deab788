#include "SheetGroupBox.h"

#include "FontConvert.h"

#include <QMouseEvent>

SheetGroupBox::SheetGroupBox(const FieldSpec &field, QWidget *parent)
    : QGroupBox(parent), m_field(&field), m_hint(QString::fromUtf8(field.hint)), m_font(field.font)
{
    setObjectName(field.nameString());
    setGeometry(field.geometry.left, field.geometry.top, field.geometry.width, field.geometry.height);
    setToolTip(m_hint);
    setFocusPolicy(Qt::TabFocus); // its caption is a stop of the keyboard's way
    // The caption sits on the frame line, as a framed block on paper does.
    setStyleSheet(QStringLiteral(
        "QGroupBox { border: 1px solid #a0a0a0; margin-top: 6px; }"
        "QGroupBox::title { subcontrol-origin: margin; left: 8px; background-color: white; }"));
    SetCaption(field.textString());
    SetFont(m_font);
}

void SheetGroupBox::SetFont(const SheetFont &font)
{
    m_font = font;
    FontConvert::apply(this, font, QPalette::WindowText);
}

void SheetGroupBox::mousePressEvent(QMouseEvent *event)
{
    m_click.press(event);
    if (OnMouseDown)
        OnMouseDown(this, event);
    event->accept();
}

void SheetGroupBox::mouseReleaseEvent(QMouseEvent *event)
{
    event->accept();
    if (m_click.release(this, event))
        emit Clicked(this);
}
