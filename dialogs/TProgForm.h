#pragma once

#include <QWidget>

class QProgressBar;

// The small tool window that shows a sheet file's name and a bar while the sheet is read
// or written.
class TProgForm : public QWidget
{
    Q_OBJECT
public:
    TProgForm();

    QProgressBar *ProgressBar1;

protected:
    // Every showing starts from an empty bar.
    void FormActivate();
    void showEvent(QShowEvent *event) override;
    void changeEvent(QEvent *event) override;
};
