#include "HelpWindow.h"

#include <QTextBrowser>
#include <QVBoxLayout>

HelpWindow::HelpWindow() : QWidget(nullptr, Qt::Window)
{
    setObjectName(QStringLiteral("HelpWindow"));
    setWindowTitle(QStringLiteral("Purchase Order Form Help"));
    m_browser = new QTextBrowser(this);
    m_browser->setSource(QUrl(QStringLiteral("qrc:/help/guide.html")));
    auto *layout = new QVBoxLayout(this);
    layout->setContentsMargins(0, 0, 0, 0);
    layout->addWidget(m_browser);
    resize(520, 480);
}

void HelpWindow::showTopic(int context)
{
    m_browser->scrollToAnchor(QStringLiteral("topic%1").arg(context));
    show();
    raise();
    activateWindow();
}
