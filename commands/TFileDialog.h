#pragma once

#include "Platform.h"

#include <QObject>

// A file dialog of the command panel: its settings, and the full path last chosen in it,
// which stays readable after the dialog has closed.
class TFileDialog : public QObject
{
    Q_OBJECT
public:
    using QObject::QObject;

    FileDialogOptions Options;
    QString FileName; // the last chosen file

    // Runs the dialog starting from FileName; true and FileName updated when a file was
    // chosen.
    bool ExecuteOpen(QWidget *owner);
    bool ExecuteSave(QWidget *owner);
};
