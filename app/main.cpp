// Program entry: the application object and its windows.

#include "FontConvert.h"
#include "PoApplication.h"
#include "TControlForm.h"
#include "TPurchaseOrderForm.h"

#include <QCommandLineParser>
#include <QIcon>
#include <QSessionManager>

namespace {

void describeOptions(QCommandLineParser &options)
{
    options.setApplicationDescription(QStringLiteral("Fills in, saves and prints purchase orders."));
    options.addHelpOption();
    options.addVersionOption();
    options.addPositionalArgument(QStringLiteral("order"),
                                  QStringLiteral("An order (.pof) to open instead of the start-up order; "
                                                 "\"--\" before a name that starts with \"-\"."),
                                  QStringLiteral("[order]"));
}

// --help and --version answer without a display: no window system is needed to print them.
void answerWithoutWindows(int argc, char *argv[])
{
    for (int i = 1; i < argc; ++i) {
        const QByteArrayView arg(argv[i]);
        if (arg == "--")
            return;
        if (arg == "-h" || arg == "--help" || arg == "-?" || arg == "--help-all" || arg == "-v" || arg == "--version") {
            QCoreApplication core(argc, argv);
            QCoreApplication::setApplicationName(QStringLiteral("pelmora-po"));
            QCoreApplication::setApplicationVersion(QStringLiteral(PO_VERSION));
            QCommandLineParser options;
            describeOptions(options);
            options.process(core); // prints and ends the program
        }
    }
}

} // namespace

int main(int argc, char *argv[])
{
    answerWithoutWindows(argc, argv);
    // The program places its own windows (pop-ups at the pointer, the panel at the click),
    // which a Wayland compositor does not allow. In a Wayland session with an X server at hand
    // (Xwayland) it runs on X, unless the user chose a platform.
    if (qEnvironmentVariableIsEmpty("QT_QPA_PLATFORM") && !qEnvironmentVariableIsEmpty("DISPLAY"))
        qputenv("QT_QPA_PLATFORM", "xcb");
    PoApplication app(argc, argv);
    QApplication::setApplicationName(QStringLiteral("pelmora-po"));
    // No display name: Qt would add it to every window's title. The program's title shows
    // as the sheet window's (see TPurchaseOrderForm).
    FontConvert::installFontSubstitutions();
    // Every window without one of its own (the panel has its own) shows the program's icon,
    // the installed theme's if there is one; the desktop file names the program to the session.
    QApplication::setWindowIcon(QIcon::fromTheme(QStringLiteral("pelmora-po"), QIcon(QStringLiteral(":/pelmora-po.svg"))));
    QGuiApplication::setDesktopFileName(QStringLiteral("pelmora-po"));
    QApplication::setApplicationVersion(QStringLiteral(PO_VERSION));

    QCommandLineParser options;
    describeOptions(options);
    options.process(app);

    TPurchaseOrderForm sheet; // chooses and opens the start-up sheet
    PurchaseOrderForm = &sheet;
    TControlForm panel(&sheet); // hidden until the first right-click on the sheet
    if (!options.positionalArguments().isEmpty())
        sheet.OpenAtStart(options.positionalArguments().constFirst());
    // At log-out nothing may be asked: the journal keeps what was typed, and the program ends.
    QObject::connect(&app, &QGuiApplication::commitDataRequest, &sheet,
                     [&sheet](QSessionManager &) { sheet.SessionEnding(); });
    // So also when the session or the system ends the process without a session manager.
    PoApplication::onEndRequest([&sheet] { sheet.SessionEnding(); });
    sheet.show();               // loads the sheet, behind the progress window
    return app.exec();
}
