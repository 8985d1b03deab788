#include "QtPrinters.h"

#include "AppError.h"
#include "PoApplication.h"
#include "ScriptedPlatform.h"

#include <QCoreApplication>
#include <QEvent>
#include <gtest/gtest.h>

namespace {

class Throwing : public QObject
{
public:
    bool event(QEvent *e) override
    {
        if (e->type() == QEvent::User)
            throw AppError(QStringLiteral("Unable to write to /x/order.pof"));
        return QObject::event(e);
    }
};

TEST(PoApplication, AnErrorThatNoCommandCatchesIsShownAndTheProgramGoesOn)
{
    ScriptedPlatform platform;
    Throwing target;
    QEvent event(QEvent::User);
    QCoreApplication::sendEvent(&target, &event);
    ASSERT_EQ(platform.messages.size(), 1u);
    EXPECT_EQ(platform.messages[0].text, QStringLiteral("Unable to write to /x/order.pof"));
    EXPECT_EQ(platform.messages[0].icon, MsgIcon::Error);
    EXPECT_EQ(platform.messages[0].caption, QCoreApplication::applicationName()) << "no title set yet";

    PoApplication::setTitle(QStringLiteral("The Purchase Order Form"));
    PoApplication::runCommand([] { throw AppError(QStringLiteral("second")); });
    ASSERT_EQ(platform.messages.size(), 2u);
    EXPECT_EQ(platform.messages[1].caption, QStringLiteral("The Purchase Order Form"));
    PoApplication::setTitle(QString());
    PoApplication::runCommand([] {});
    EXPECT_EQ(platform.messages.size(), 2u);
}

} // namespace
