#pragma once

#include <QDateEdit>

// A date picker of the import dialog (dd.mm.yyyy, calendar on the arrow).
// A click into the text selects the part under the mouse, day, month or year,
// so that digits typed next replace it and go on into the parts after it, as
// after choosing a part with the arrow keys.
class TDatePicker : public QDateEdit {
    Q_OBJECT

public:
    TDatePicker(const QDate& date, QWidget* parent = nullptr);

protected:
    bool eventFilter(QObject* watched, QEvent* event) override;
};
