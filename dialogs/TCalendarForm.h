#pragma once

#include "SheetFont.h"

#include "ApplyOnCloseDialog.h"

class QCalendarWidget;
class QPushButton;
class SheetLabel;
class TCaptionSaver;
class TFontSaver;

// The PO date picker. It cannot be cancelled: however it closes, the date label takes the
// picked date (today unless another was picked) and the calendar's font, and both are
// recorded in the sheet file at once.
class TCalendarForm : public ApplyOnCloseDialog
{
    Q_OBJECT
public:
    TCalendarForm(SheetLabel *dateLabel, TCaptionSaver &captions, TFontSaver &fonts);

    QCalendarWidget *MonthCalendar1;
    QPushButton *BitBtn1; // "Set Font..."
    QPushButton *BitBtn2; // "&Close"

    const SheetFont &CalendarFont() const { return m_font; }
    void SetCalendarFont(const SheetFont &font);

    void BitBtn1Click();
    void FormClose() override;

private:
    SheetLabel *m_label;
    TCaptionSaver &m_captions;
    TFontSaver &m_fonts;
    SheetFont m_font;
};
