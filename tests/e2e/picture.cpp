// Writes a test picture for the real-window tests, typed by the file's suffix (JPG, BMP):
// a white field with a dark frame, as large as asked.
// Usage: e2e_picture FILE WIDTH HEIGHT

#include <QGuiApplication>
#include <QImage>
#include <QPainter>

int main(int argc, char **argv)
{
    qputenv("QT_QPA_PLATFORM", "offscreen");
    QGuiApplication app(argc, argv);
    if (argc != 4)
        return 2;
    QImage image(QString::fromLocal8Bit(argv[2]).toInt(), QString::fromLocal8Bit(argv[3]).toInt(),
                 QImage::Format_RGB32);
    image.fill(Qt::white);
    QPainter painter(&image);
    painter.setPen(QPen(Qt::darkBlue, 40));
    painter.drawRect(image.rect().adjusted(20, 20, -20, -20));
    painter.end();
    return image.save(QString::fromLocal8Bit(argv[1]), nullptr, 10) ? 0 : 1;
}
