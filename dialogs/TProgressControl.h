#pragma once

#include <QObject>
#include <QString>
#include <memory>

class TProgForm;

// Drives the progress window: every property set is passed on to the window at once.
class TProgressControl : public QObject
{
    Q_OBJECT
public:
    explicit TProgressControl(QObject *owner);
    ~TProgressControl() override;

    int Max() const { return m_max; }
    void SetMax(int value);
    int Min() const { return m_min; }
    void SetMin(int value);
    int Progress() const;
    void SetProgress(int value);
    int Step() const { return m_step; }
    void SetStep(int value);
    const QString &Caption() const { return m_caption; }
    void SetCaption(const QString &value); // repaints the window at once

    void Show();
    void Hide();
    void StepIt(); // advances by Step and repaints at once

    TProgForm *Form() const { return m_form.get(); }

private:
    std::unique_ptr<TProgForm> m_form;
    int m_max = 100;
    int m_min = 0;
    int m_step = 1;
    QString m_caption = QStringLiteral("Progress...");
};
