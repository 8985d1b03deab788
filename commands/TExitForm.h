#pragma once

#include <QDialog>

class QCheckBox;
class QPushButton;

// Asks before the program ends, and whether to save the order first.
class TExitForm : public QDialog
{
    Q_OBJECT
public:
    explicit TExitForm(QWidget *owner);

    QCheckBox *CheckBox1;
    QPushButton *BitBtn2; // "E&xit Program": OK
    QPushButton *BitBtn3; // "&Cancel"

protected:
    void keyPressEvent(QKeyEvent *event) override;
};
