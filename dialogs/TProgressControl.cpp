#include "TProgressControl.h"

#include "TProgForm.h"

#include <QProgressBar>

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
