#pragma once

#include "TIniStore.h"

// Keeps one text per INI section, under the key "TextValue", writing through to the file
// at once.
class TCaptionSaver : public TIniStore
{
    Q_OBJECT
public:
    // A store of a window or other owner: its source name is the program's own path.
    explicit TCaptionSaver(QObject *owner);
    // A store created for a file dialog: its source name is the file chosen there.
    TCaptionSaver(QObject *owner, const QString &chosenFileName);

    QString DefaultText;  // what ReadText gives for a missing key
    QString CurrentText;  // the text last set, saved or read

    void SetText(const QString &text) { CurrentText = text; }
    void WriteText(QStringView section);
    void SaveText(QStringView section, const QString &text);
    QString ReadText(QStringView section);
    QString ReadTextDefault(QStringView section, const QString &defaultText);
};
