#pragma once

#include "WindowFixture.h"

#include "LineItemGrid.h"
#include "RecoveryJournal.h"
#include "SheetJournal.h"
#include "TExitForm.h"

#include <QCheckBox>
#include <QCoreApplication>
#include <QPushButton>
#include <QFileInfo>

using namespace Qt::StringLiterals;

inline constexpr int Recover = TPurchaseOrderForm::RecoverAnswer;
inline constexpr int Keep = TPurchaseOrderForm::KeepAnswer;
inline constexpr int Discard = TPurchaseOrderForm::DiscardAnswer;

// What the sheet file does not hold yet survives any end but the user's own "do not save".
class RecoveryTest : public SheetAndPanelTest
{
protected:
    void SetUp() override
    {
        SheetAndPanelTest::SetUp();
        file = path("order.pof");
        writeBytes(file, "[Table00]\r\nTextValue=1\r\n[Table50]\r\nTextValue=2.00\r\n"
                         "[Table60]\r\nTextValue=2.00\r\n[Label14]\r\nTextValue=2.00\r\n");
    }

    // Starts the program anew on file: a new window, loaded, any question it asks answered.
    void restart(const QString &sheetFile, std::deque<std::optional<int>> answers = {})
    {
        panel.reset();
        sheet.reset();
        platform.messages.clear();
        platform.askAnswers = std::move(answers);
        start(sheetFile);
        QCoreApplication::processEvents(); // the question comes after the load
    }

    void type(int column, int row, const QString &text)
    {
        sheet->StringGrid1->SetCell(column, row, text);
        sheet->StringGrid1SetEditText(column, row);
    }

    bool journalExists(const QString &sheetFile) const
    {
        return !RecoveryJournal::find(QFileInfo(sheetFile).absoluteFilePath(), SheetJournal::Sections()).empty();
    }

    // The exit dialog answered: "E&xit Program" with the box ticked or not, or "&Cancel".
    void answerExit(bool exit, bool save)
    {
        platform.onModal = [exit, save](QDialog *d) {
            auto *form = qobject_cast<TExitForm *>(d);
            if (!form)
                return int(QDialog::Rejected);
            form->CheckBox1->setChecked(save);
            (exit ? form->BitBtn2 : form->BitBtn3)->click();
            return d->result();
        };
    }

    // The program was killed: its journals are now those of a copy that no longer runs (one
    // past the largest process number; the tests' restarts run in this same process, whose
    // own journals count as its own).
    static void killed(const QString &owner = u"2147483647-killed"_s)
    {
        const QString own = RecoveryJournal::ownOwner();
        for (const QString &name : QDir(RecoveryJournal::folder()).entryList({u"*-"_s + own + u".journal"_s})) {
            const QString journal = RecoveryJournal::folder() + name;
            QByteArray bytes = readBytes(journal);
            bytes.replace("Owner=" + own.toLatin1(), "Owner=" + owner.toLatin1());
            QString renamed = journal;
            renamed.replace(own, owner);
            writeBytes(renamed, bytes);
            QFile::remove(journal);
        }
    }

    QString file;
};
