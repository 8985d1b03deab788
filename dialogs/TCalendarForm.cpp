#include "TCalendarForm.h"

#include "CalendarAccessible.h"
#include "FontConvert.h"
#include "Platform.h"
#include "SheetDates.h"

#include <QAbstractItemView>
#include <QCalendarWidget>
#include <QFontMetrics>
#include <QPushButton>

TCalendarForm::TCalendarForm(QWidget *dateLabel)
    : ApplyOnCloseDialog(dateLabel, Qt::Tool | Qt::WindowCloseButtonHint)
{
    setObjectName(QStringLiteral("CalendarForm"));
    setFixedSize(226, 206);
    CalendarAccessible::install(); // before the calendar's days are first asked for
    MonthCalendar1 = new QCalendarWidget(this);
    MonthCalendar1->setObjectName(QStringLiteral("MonthCalendar1"));
    MonthCalendar1->setGeometry(19, 7, 190, 153);
    MonthCalendar1->setAccessibleName(QStringLiteral("Purchase Order Date"));
    MonthCalendar1->setVerticalHeaderFormat(QCalendarWidget::NoVerticalHeader);
    // The month title in red.
    MonthCalendar1->setStyleSheet(QStringLiteral(
        "#qt_calendar_navigationbar QToolButton { color: red; }"
        "QCalendarWidget { border: 1px solid #808080; }"));
    BitBtn1 = new QPushButton(QStringLiteral("Set Font..."), this);
    BitBtn1->setObjectName(QStringLiteral("BitBtn1"));
    BitBtn1->setGeometry(24, 177, 75, 25);
    BitBtn2 = new QPushButton(QStringLiteral("&Close"), this);
    BitBtn2->setObjectName(QStringLiteral("BitBtn2"));
    BitBtn2->setGeometry(129, 177, 75, 25);
    connect(BitBtn1, &QPushButton::clicked, this, &TCalendarForm::BitBtn1Click);
    connect(BitBtn2, &QPushButton::clicked, this, &QDialog::accept);
    // Return on a day (or a double-click) picks it and closes.
    connect(MonthCalendar1, &QCalendarWidget::activated, this, &QDialog::accept);
    // The days' grid is named as the calendar is; its days tell their whole dates.
    if (auto *days = MonthCalendar1->findChild<QAbstractItemView *>())
        days->setAccessibleName(MonthCalendar1->accessibleName());
}

void TCalendarForm::SetCalendarFont(const SheetFont &font)
{
    m_font = font;
    const QFont shown = FontConvert::toQFont(font);
    MonthCalendar1->setFont(shown);
    // The calendar keeps the date's font; where its short weekday names would be cut in the
    // seven columns, single letters stand in for them. A cell keeps about 8 pixels of margin.
    const QFontMetrics metrics(shown);
    int widest = 0;
    for (int day = 1; day <= 7; ++day)
        widest = std::max(widest, metrics.horizontalAdvance(
                                      MonthCalendar1->locale().dayName(day, QLocale::ShortFormat)));
    const int column = (MonthCalendar1->width() - 2) / 7;
    MonthCalendar1->setHorizontalHeaderFormat(widest + 8 > column
                                                  ? QCalendarWidget::SingleLetterDayNames
                                                  : QCalendarWidget::ShortDayNames);
}

void TCalendarForm::BitBtn1Click()
{
    SheetFont font = m_font;
    if (platform().chooseFont(this, font))
        SetCalendarFont(font);
}

void TCalendarForm::FormClose()
{
    if (OnClose)
        OnClose(SheetDates::PODate(MonthCalendar1->selectedDate(), platform().dateSeparator()), m_font);
}
