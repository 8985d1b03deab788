#pragma once

#include <QDialog>

// A dialog without cancel: however it closes (a button, the close box, Escape), FormClose
// applies what it holds, once.
class ApplyOnCloseDialog : public QDialog
{
    Q_OBJECT
public:
    using QDialog::QDialog;

    void done(int result) override
    {
        if (!m_closed) {
            m_closed = true;
            FormClose();
        }
        QDialog::done(result);
    }

protected:
    virtual void FormClose() = 0;

private:
    bool m_closed = false;
};
