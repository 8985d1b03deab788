#pragma once

#include "GenUtils.h"
#include "RecoveryJournal.h"
#include "ScriptedPlatform.h"
#include "TempDir.h"

#include <QCoreApplication>
#include <QDir>
#include <QFile>

// Sheet-window tests: a scripted platform and a program folder without start-up files
// (the tests that use it take turns, see CMakeLists).
class WindowTest : public TempDirTest
{
protected:
    void SetUp() override { removeStartupFiles(); }
    void TearDown() override { removeStartupFiles(); }

    // ... and no recovery journal left by another test.
    static void removeStartupFiles()
    {
        for (const char *name : {"varnel.ini", "blank.ini", "template.ini"})
            QFile::remove(AppFile(QString::fromLatin1(name)));
        QDir(RecoveryJournal::folder()).removeRecursively();
    }

    static QStringList sectionsOf(const QByteArray &bytes)
    {
        QStringList sections;
        for (const QByteArray &line : bytes.split('\n')) {
            const QByteArray t = line.trimmed();
            if (t.startsWith('['))
                sections << QString::fromLatin1(t.mid(1, t.size() - 2));
        }
        return sections;
    }

    // Shows a sheet window and runs its load, which the event loop starts after the showing.
    template <class Sheet> static void showSheet(Sheet &sheet)
    {
        sheet.show();
        QCoreApplication::sendPostedEvents(&sheet, QEvent::MetaCall);
    }

    ScriptedPlatform platform;
};

#include "TControlForm.h"
#include "TPurchaseOrderForm.h"

// A sheet window on a given sheet file, with its command panel.
class SheetAndPanelTest : public WindowTest
{
protected:
    void start(const QString &sheetFile)
    {
        sheet = std::make_unique<TPurchaseOrderForm>();
        panel = std::make_unique<TControlForm>(sheet.get());
        sheet->OpenSheetFile(sheetFile);
        sheet->LoadSheet();
    }

    std::unique_ptr<TPurchaseOrderForm> sheet;
    std::unique_ptr<TControlForm> panel;
};
