#include "TProgForm.h"

#include <QEvent>
#include <QGuiApplication>
#include <QProgressBar>
#include <QScreen>

TProgForm::TProgForm() : QWidget(nullptr, Qt::Tool | Qt::WindowCloseButtonHint)
{
    setObjectName(QStringLiteral("ProgForm"));
    setWindowTitle(QStringLiteral("Loading..."));
    setFixedSize(267, 33);
    // It only reports: the keyboard stays with the window that is loading.
    setAttribute(Qt::WA_ShowWithoutActivating);
    ProgressBar1 = new QProgressBar(this);
    ProgressBar1->setObjectName(QStringLiteral("ProgressBar1"));
    ProgressBar1->setGeometry(8, 12, 252, 10);
    ProgressBar1->setRange(0, 100);
    ProgressBar1->setValue(0);
    ProgressBar1->setTextVisible(false);

    if (const QScreen *screen = QGuiApplication::primaryScreen()) {
        const QRect r = screen->geometry();
        move(r.center() - QPoint(width() / 2, height() / 2));
    }
}

void TProgForm::FormActivate()
{
    ProgressBar1->setValue(0);
}

void TProgForm::showEvent(QShowEvent *event)
{
    ProgressBar1->setAccessibleName(windowTitle()); // "Loading order.pof..."
    FormActivate();
    QWidget::showEvent(event);
}

void TProgForm::changeEvent(QEvent *event)
{
    if (event->type() == QEvent::ActivationChange && isActiveWindow())
        FormActivate();
    QWidget::changeEvent(event);
}
