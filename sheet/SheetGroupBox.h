#pragma once

#include "ClickTracker.h"
#include "SheetFields.h"

#include <QGroupBox>
#include <functional>

// A framed block of the sheet (vendor, ship-to) whose caption is a field of its own.
class SheetGroupBox : public QGroupBox
{
    Q_OBJECT
public:
    SheetGroupBox(const FieldSpec &field, QWidget *parent);

    const FieldSpec &Field() const { return *m_field; }
    int Tag() const { return m_field->tag; }
    const QString &Hint() const { return m_hint; }
    QString Caption() const { return title(); }
    void SetCaption(const QString &caption) { setTitle(caption); }
    const SheetFont &Font() const { return m_font; }
    void SetFont(const SheetFont &font);

    // What a mouse press on the frame (outside its labels) does.
    std::function<void(QWidget *, QMouseEvent *)> OnMouseDown;

signals:
    void Clicked(SheetGroupBox *box);

protected:
    void mousePressEvent(QMouseEvent *event) override;
    void mouseReleaseEvent(QMouseEvent *event) override;

private:
    const FieldSpec *m_field;
    QString m_hint;
    SheetFont m_font;
    ClickTracker m_click;
};
