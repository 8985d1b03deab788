#pragma once

#include "ClickTracker.h"

#include <QLabel>

// The logo Image1: shows a picture at its natural size, centred, and sizes itself to it.
class SheetImage : public QLabel
{
    Q_OBJECT
public:
    explicit SheetImage(QWidget *parent);

    // False, with the picture cleared, when the file cannot be read as a picture.
    bool LoadPicture(const QString &path);
    void ClearPicture();
    bool HasPicture() const { return m_hasPicture; }

signals:
    void Clicked(SheetImage *image);

protected:
    void mousePressEvent(QMouseEvent *event) override;
    void mouseReleaseEvent(QMouseEvent *event) override;

private:
    ClickTracker m_click;
    bool m_hasPicture = false;
};
