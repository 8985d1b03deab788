// Program entry: the application object and its windows.

#include <QApplication>
#include <QLabel>
#include <QScreen>

int main(int argc, char *argv[])
{
    QApplication app(argc, argv);
    QApplication::setApplicationName(QStringLiteral("pelmora-po"));
    QApplication::setApplicationDisplayName(QStringLiteral("The Purchase Order Form"));

    // Until the sheet window exists, a plain window stands in its place.
    QLabel placeholder(QStringLiteral("The Purchase Order Form"));
    placeholder.setAlignment(Qt::AlignCenter);
    placeholder.setWindowTitle(QStringLiteral("The Purchase Order Form"));
    const int screenHeight = app.primaryScreen() ? app.primaryScreen()->size().height() : 795;
    placeholder.resize(786, std::min(780, screenHeight - 15));
    placeholder.show();
    return app.exec();
}
