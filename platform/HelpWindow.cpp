#include "HelpWindow.h"

#include <QApplication>
#include <QTextBrowser>
#include <QTimer>
#include <QVBoxLayout>
#include <QWindow>

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

bool HelpWindow::event(QEvent *event)
{
    // A window that stands over the modal one is not blocked by it: the guide makes itself
    // the modal window's transient, after the event that told it so.
    if (event->type() == QEvent::WindowBlocked) {
        QTimer::singleShot(0, this, [this] {
            QWidget *modal = QApplication::activeModalWidget();
            if (modal && modal != this && windowHandle() && modal->windowHandle())
                windowHandle()->setTransientParent(modal->windowHandle());
        });
    }
    return QWidget::event(event);
}
