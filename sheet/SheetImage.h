#pragma once

#include "ClickTracker.h"

#include <QLabel>

// The logo Image1: shows a picture at its natural size, centred, and sizes itself to it; a
// picture larger than the area given to the logo is scaled down to fit, so that it never
// covers the sheet (whose background must stay there to be right-clicked).
class SheetImage : public QLabel
{
    Q_OBJECT
public:
    explicit SheetImage(QWidget *parent);

    // False, with the picture cleared, when the file cannot be read as a picture.
    bool LoadPicture(const QString &path);
    void ClearPicture();
    void SetLargestPicture(const QSize &size) { m_largest = size; }
    bool HasPicture() const { return m_hasPicture; }

signals:
    void Clicked(SheetImage *image);

protected:
    void mousePressEvent(QMouseEvent *event) override;
    void mouseReleaseEvent(QMouseEvent *event) override;

private:
    ClickTracker m_click;
    bool m_hasPicture = false;
    QSize m_largest;
};
