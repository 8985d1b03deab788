#pragma once

#include "ClickTracker.h"
#include "SheetFields.h"

#include <QLabel>
#include <functional>
#include <optional>

// A text field of the sheet: a label whose caption is its value. It keeps the font as the
// sheet file knows it, its font group (Tag) and role text (Hint), and sizes itself to its
// text when auto-size is on: right-aligned labels keep their right edge, word-wrapped
// ones keep their width and take the height of their text.
class SheetLabel : public QLabel
{
    Q_OBJECT
public:
    SheetLabel(const FieldSpec &field, QWidget *parent);

    const FieldSpec &Field() const { return *m_field; }
    int Tag() const { return m_field->tag; }
    const QString &Hint() const { return m_hint; }
    void SetHint(const QString &hint);

    QString Caption() const { return text(); }
    void SetCaption(const QString &caption);
    const SheetFont &Font() const { return m_font; }
    void SetFont(const SheetFont &font);
    bool AutoSize() const { return m_autoSize; }
    void SetAutoSize(bool on);
    // The background: nullopt shows the parent's (a transparent label).
    std::optional<qint32> Color() const { return m_color; }
    void SetColor(std::optional<qint32> color);

    // The background as designed: white for the address blocks, the parent's for the rest.
    std::optional<qint32> DesignColor() const;

    // An empty label stays clickable: auto-size follows whether the caption holds more than
    // blanks; without it the label is a 75-pixel box in the button-face colour, and with it
    // the label gets its designed background back.
    void ApplyEmptyTextRule();

    // What a mouse press does; the sheet installs its handler on every read.
    std::function<void(SheetLabel *, QMouseEvent *)> OnMouseDown;
    // What a mouse move over the label does (set only where it matters).
    std::function<void(SheetLabel *)> OnMouseMove;

signals:
    void Clicked(SheetLabel *label);
    void CaptionChanged(const QString &caption);

protected:
    void mousePressEvent(QMouseEvent *event) override;
    void mouseReleaseEvent(QMouseEvent *event) override;
    void mouseMoveEvent(QMouseEvent *event) override;

private:
    void fitToText();

    const FieldSpec *m_field;
    QString m_hint;
    SheetFont m_font;
    bool m_autoSize;
    std::optional<qint32> m_color;
    int m_rightEdge;
    ClickTracker m_click;
};
