#include "SheetImage.h"

#include "LogoLoader.h"

#include <QPixmap>

SheetImage::SheetImage(QWidget *parent) : QLabel(parent)
{
    setObjectName(QStringLiteral("Image1"));
    setAlignment(Qt::AlignCenter);
}

bool SheetImage::LoadPicture(const QString &path)
{
    const auto image = LogoLoader::load(path);
    if (!image) {
        ClearPicture();
        return false;
    }
    QImage shown = *image;
    if (m_largest.isValid() && (shown.width() > m_largest.width() || shown.height() > m_largest.height()))
        shown = shown.scaled(m_largest, Qt::KeepAspectRatio, Qt::SmoothTransformation);
    setPixmap(QPixmap::fromImage(shown));
    resize(shown.size());
    m_hasPicture = true;
    setFocusPolicy(Qt::TabFocus); // a logo is a stop of the keyboard's way; its empty place is not
    return true;
}

void SheetImage::ClearPicture()
{
    clear();
    m_hasPicture = false;
    setFocusPolicy(Qt::NoFocus);
}

void SheetImage::mousePressEvent(QMouseEvent *event)
{
    m_click.press(event);
    event->accept();
}

void SheetImage::mouseReleaseEvent(QMouseEvent *event)
{
    event->accept();
    if (m_click.release(this, event))
        emit Clicked(this);
}
