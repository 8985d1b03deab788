#pragma once

#include "WindowFixture.h"

#include "TFontsForm.h"
#include "TPurchaseOrderForm.h"
#include "SheetLabel.h"

#include <QApplication>
#include <QLineEdit>
#include <QMouseEvent>
#include <functional>
#include <memory>

// A sheet window on order.pof, whose labels are edited through the label settings dialog.
class EditingTest : public WindowTest
{
protected:
    void SetUp() override
    {
        WindowTest::SetUp();
        file = path("order.pof");
        sheet = std::make_unique<TPurchaseOrderForm>();
        sheet->OpenSheetFile(file);
        sheet->LoadSheet();
    }

    // Opens the label settings dialog of name, lets edit work on it, and closes it.
    void editLabel(const char *name, const std::function<void(TFontsForm *)> &edit)
    {
        platform.onModal = [&](QDialog *d) {
            auto *dialog = qobject_cast<TFontsForm *>(d);
            d->show();
            title = d->windowTitle();
            edit(dialog);
            d->close();
            return d->result();
        };
        QObject *target = sheet->Component(QString::fromLatin1(name));
        sheet->LabelSetValue(target);
        platform.onModal = nullptr;
    }

    static void type(TFontsForm *d, const QString &text) { d->Edit1->setText(text); }

    void hover(const char *name)
    {
        QMouseEvent move(QEvent::MouseMove, QPointF(2, 2), QPointF(2, 2), Qt::NoButton,
                         Qt::NoButton, Qt::NoModifier);
        QApplication::sendEvent(sheet->Label(QString::fromLatin1(name)), &move);
    }

    QString caption(const char *name) { return sheet->Label(QString::fromLatin1(name))->Caption(); }

    QString file;
    QString title;
    std::unique_ptr<TPurchaseOrderForm> sheet;
};
