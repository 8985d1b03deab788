#include "SheetAccessible.h"

#include "SheetFields.h"
#include "SheetGroupBox.h"
#include "SheetKeyboard.h"
#include "SheetLabel.h"
#include "TPurchaseOrderForm.h"

#include <QAccessibleWidget>
#include <QFrame>

namespace {

const SheetLabel *sibling(const QWidget *label, const char *name)
{
    return label->parentWidget()->findChild<const SheetLabel *>(QLatin1StringView(name),
                                                               Qt::FindDirectChildrenOnly);
}

// The caption that names a value (the "Subtotal" of the subtotal), if the label is a value:
// the amounts and order values whose hover hints name their captions, and the PO number and
// date, whose hints are fixed.
const SheetLabel *captionOf(const QWidget *widget)
{
    const auto *label = qobject_cast<const SheetLabel *>(widget);
    if (!label || !label->parentWidget())
        return nullptr;
    for (const SheetFields::HoverHint &h : SheetFields::hoverHints()) {
        if (label->objectName() == QLatin1StringView(h.field))
            return sibling(label, h.captionField);
    }
    if (label->objectName() == u"labelPONumber")
        return sibling(label, "Label20");
    if (label->objectName() == u"labelPODate")
        return sibling(label, "Label21");
    return nullptr;
}

QString shownText(const QWidget *widget)
{
    QString text;
    TPurchaseOrderForm::ComponentTextOf(widget, text);
    return text.trimmed();
}

QString hintOf(const QWidget *widget)
{
    if (const auto *label = qobject_cast<const SheetLabel *>(widget))
        return label->Hint();
    if (const auto *box = qobject_cast<const SheetGroupBox *>(widget))
        return box->Hint();
    return QStringLiteral("Company Logo");
}

class SheetTextAccessible : public QAccessibleWidget
{
public:
    SheetTextAccessible(QWidget *widget, QAccessible::Role role) : QAccessibleWidget(widget, role) {}

    QString text(QAccessible::Text t) const override
    {
        const QWidget *w = widget();
        const SheetLabel *caption = captionOf(w);
        switch (t) {
        case QAccessible::Name:
            if (caption)
                return caption->Caption().trimmed();
            return shownText(w).isEmpty() ? hintOf(w) : shownText(w);
        case QAccessible::Description:
            return caption ? shownText(w) : hintOf(w);
        case QAccessible::Value:
            return shownText(w);
        default:
            return QAccessibleWidget::text(t);
        }
    }

    QList<QPair<QAccessibleInterface *, QAccessible::Relation>>
    relations(QAccessible::Relation match) const override
    {
        auto found = QAccessibleWidget::relations(match);
        // The caption is the label of this value.
        if (const SheetLabel *caption = captionOf(widget()); caption && (match & QAccessible::Label)) {
            if (QAccessibleInterface *i = QAccessible::queryAccessibleInterface(const_cast<SheetLabel *>(caption)))
                found.append({i, QAccessible::Label});
        }
        return found;
    }

    QStringList actionNames() const override
    {
        return QAccessibleWidget::actionNames() << pressAction();
    }

    void doAction(const QString &name) override
    {
        if (name != pressAction()) {
            QAccessibleWidget::doAction(name);
            return;
        }
        if (auto *keyboard = widget()->window()->findChild<SheetKeyboard *>())
            keyboard->Activate(widget());
    }

    QStringList keyBindingsForAction(const QString &name) const override
    {
        if (name == pressAction())
            return {QStringLiteral("Return")};
        return QAccessibleWidget::keyBindingsForAction(name);
    }
};

// The sheet and the command panel are plain widgets, which a screen reader would take for
// unnamed fillers: each is a frame named by its title.
class WindowAccessible : public QAccessibleWidget
{
public:
    explicit WindowAccessible(QWidget *widget) : QAccessibleWidget(widget, QAccessible::Window) {}

    QString text(QAccessible::Text t) const override
    {
        if (t == QAccessible::Name && widget()->accessibleName().isEmpty())
            return widget()->windowTitle();
        return QAccessibleWidget::text(t);
    }
};

QAccessibleInterface *factory(const QString &className, QObject *object)
{
    auto *widget = qobject_cast<QWidget *>(object);
    if (!widget)
        return nullptr;
    if (className == u"TPurchaseOrderForm" || className == u"TControlForm" ||
        className == u"TProgForm" || className == u"PrintProgress")
        return new WindowAccessible(widget);
    // The sheet's blocks and rules are no windows: panels that hold texts, and separators.
    if (className == u"QFrame" && !widget->isWindow()) {
        const auto *frame = static_cast<const QFrame *>(widget);
        return new QAccessibleWidget(widget, frame->frameShape() == QFrame::HLine ? QAccessible::Separator
                                                                                  : QAccessible::Pane);
    }
    if (className == u"SheetLabel")
        return new SheetTextAccessible(widget, QAccessible::StaticText);
    if (className == u"SheetGroupBox")
        return new SheetTextAccessible(widget, QAccessible::Grouping);
    if (className == u"SheetImage")
        return new SheetTextAccessible(widget, QAccessible::Graphic);
    return nullptr;
}

} // namespace

namespace SheetAccessible {

void install()
{
    static const bool installed = [] {
        QAccessible::installFactory(factory);
        return true;
    }();
    Q_UNUSED(installed);
}

} // namespace SheetAccessible
