#include "TProgressControl.h"

#include "TProgForm.h"

#include <QProgressBar>
#include <QWindow>

TProgressControl::TProgressControl(QObject *owner)
    : QObject(owner), m_form(std::make_unique<TProgForm>())
{
    SetMax(m_max);
    SetMin(m_min);
    SetStep(m_step);
}

TProgressControl::~TProgressControl() = default;

void TProgressControl::SetMax(int value)
{
    m_max = value;
    m_form->ProgressBar1->setMaximum(value);
}

void TProgressControl::SetMin(int value)
{
    m_min = value;
    m_form->ProgressBar1->setMinimum(value);
}

int TProgressControl::Progress() const
{
    return m_form->ProgressBar1->value();
}

void TProgressControl::SetProgress(int value)
{
    m_form->ProgressBar1->setValue(value);
}

void TProgressControl::SetStep(int value)
{
    m_step = value;
}

void TProgressControl::SetCaption(const QString &value)
{
    m_caption = value;
    m_form->setWindowTitle(value);
    m_form->repaint();
}

void TProgressControl::Show()
{
    // Above the window it reports on, as that window's own pop-up: a window manager keeps
    // it there while the window fills in behind it.
    auto *owner = qobject_cast<QWidget *>(parent());
    if (QWindow *ownerWindow = owner ? owner->window()->windowHandle() : nullptr) {
        (void)m_form->winId(); // its window, so that it can be made transient before it maps
        if (m_form->windowHandle()->transientParent() != ownerWindow)
            m_form->windowHandle()->setTransientParent(ownerWindow);
    }
    m_form->show();
    m_form->raise();
}

void TProgressControl::Hide()
{
    m_form->hide();
}

void TProgressControl::StepIt()
{
    QProgressBar *bar = m_form->ProgressBar1;
    bar->setValue(std::min(bar->value() + m_step, bar->maximum()));
    m_form->repaint();
}
