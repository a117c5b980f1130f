#include "TDatePicker.h"

#include <QEvent>
#include <QLineEdit>

TDatePicker::TDatePicker(const QDate& date, QWidget* parent) : QDateEdit(date, parent)
{
    setCalendarPopup(true);
    setDisplayFormat(QStringLiteral("dd.MM.yyyy"));
    lineEdit()->installEventFilter(this);
}

bool TDatePicker::eventFilter(QObject* watched, QEvent* event)
{
    // Otherwise the click leaves a bare cursor inside a full part, where no
    // digit fits, and typing does nothing.
    if (watched == lineEdit() && event->type() == QEvent::MouseButtonRelease && !lineEdit()->hasSelectedText())
        setSelectedSection(currentSection());
    return QDateEdit::eventFilter(watched, event);
}
