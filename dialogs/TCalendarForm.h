#pragma once

#include "SheetFont.h"

#include "ApplyOnCloseDialog.h"

#include <functional>

class QCalendarWidget;
class QPushButton;

// The PO date picker. It cannot be cancelled: however it closes, it reports the picked date
// as the sheet writes it (today unless another was picked) and the calendar's font, for the
// date label to take and record.
class TCalendarForm : public ApplyOnCloseDialog
{
    Q_OBJECT
public:
    explicit TCalendarForm(QWidget *dateLabel);

    std::function<void(const QString &date, const SheetFont &font)> OnClose;

    QCalendarWidget *MonthCalendar1;
    QPushButton *BitBtn1; // "Set Font..."
    QPushButton *BitBtn2; // "&Close"

    const SheetFont &CalendarFont() const { return m_font; }
    void SetCalendarFont(const SheetFont &font);

    void BitBtn1Click();
    void FormClose() override;

private:
    SheetFont m_font;
};
