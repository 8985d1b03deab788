// Test entry: an application object on the offscreen platform, so widget tests need no
// display and test discovery works anywhere.

#include "PoApplication.h"
#include <QTemporaryDir>
#include <gtest/gtest.h>

#include <cstdio>

namespace {

// The offscreen platform cannot raise windows and says so each time; nothing else is hidden.
void quietHandler(QtMsgType type, const QMessageLogContext &context, const QString &message)
{
    if (message.contains(QLatin1StringView("does not support raise()")))
        return;
    std::fprintf(stderr, "%s\n", qPrintable(qFormatLogMessage(type, context, message)));
}

} // namespace

int main(int argc, char **argv)
{
    qputenv("QT_QPA_PLATFORM", "offscreen");
    // The user's data and cache folders (recovery journals, the recent list, mailed orders) are
    // the run's own, never the user's.
    QTemporaryDir dataHome, cacheHome;
    qputenv("XDG_DATA_HOME", QFile::encodeName(dataHome.path()));
    qputenv("XDG_CACHE_HOME", QFile::encodeName(cacheHome.path()));
    qInstallMessageHandler(quietHandler);
    PoApplication app(argc, argv); // errors escaping an event are shown, as in the program
    ::testing::InitGoogleTest(&argc, argv);
    return RUN_ALL_TESTS();
}
