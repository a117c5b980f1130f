#pragma once

// Records for the tests of the panel area and the account filter, made on the
// window's own content list with the format description the program carries.

#include "TContent.h"
#include "TEditForm.h"
#include "TMainForm.h"
#include "TMainStatusBar.h"
#include "TPanelArea.h"
#include "TRecordGrid.h"
#include "TRecordPanel.h"
#include "TScriptedPrompts.h"

#include <QComboBox>
#include <QContextMenuEvent>
#include <QCoreApplication>
#include <QStringList>
#include <QtGlobal>

#include <initializer_list>
#include <utility>

namespace ViewFixture {

using TValues = std::initializer_list<std::pair<const char*, QString>>;

inline const QString Header = QStringLiteral("300000");
inline const QString Account = QStringLiteral("300100");
inline const QString History = QStringLiteral("300210");
inline const QString Consumer = QStringLiteral("300300");
inline const QString Trailer = QStringLiteral("300999");
// The Trailer's totals of Account and Consumer Name records.
inline const QString AccountTotal = QStringLiteral("310107");
inline const QString NameTotal = QStringLiteral("310110");

// Appends a record of the type with the values given; every other field is empty.
inline TContentRec* Add(TMainForm& form, const QString& recId, TValues values = {})
{
    auto rec = form.Content().CreateNewOnRec(form.Format().GetRec(recId));
    rec->SetVal(QStringLiteral("310000"), recId);
    for (const auto& [fldId, value] : values)
        rec->SetVal(QString::fromLatin1(fldId), value);
    rec->CalcSortStr();
    TContentRec* added = rec.get();
    form.Content().Add(std::move(rec));
    return added;
}

inline TContentRec* AddAccount(TMainForm& form, const QString& account) { return Add(form, Account, {{"310011", account}}); }

inline TContentRec* AddHolder(TMainForm& form, const QString& account, const QString& holder, const QString& surname,
                              const QString& firstName = {})
{
    return Add(form, Consumer, {{"310011", account}, {"310065", holder}, {"310233", surname}, {"310230", firstName}});
}

inline QStringList Captions(const TMainForm& form)
{
    QStringList captions;
    for (const TRecordPanel* panel : form.PanelGroup->Panels())
        captions << panel->Caption();
    return captions;
}

inline QList<int> RowCounts(const TMainForm& form)
{
    QList<int> rows;
    for (const TRecordGrid* grid : form.VTList())
        rows << grid->RowCount();
    return rows;
}

// The first grid showing records of the type.
inline TRecordGrid& GridOf(const TMainForm& form, const QString& recId)
{
    for (TRecordGrid* grid : form.VTList())
        if (grid->Rec(0)->Rec->RecID == recId)
            return *grid;
    qFatal("no grid of the record type");
}

// A right click at pos of widget, as the mouse delivers it.
inline void RightClick(QWidget& widget, const QPoint& pos)
{
    QContextMenuEvent click(QContextMenuEvent::Mouse, pos, widget.mapToGlobal(pos));
    QCoreApplication::sendEvent(&widget, &click);
}

inline QStringList ItemTexts(const TMainForm& form)
{
    QStringList texts;
    for (int i = 0; i < form.cbFilter->count(); ++i)
        texts << form.cbFilter->itemText(i);
    return texts;
}

// Picks a filter item the way the user does.
inline void ChooseItem(TMainForm& form, int index)
{
    form.cbFilter->setCurrentIndex(index);
    emit form.cbFilter->activated(index);
}

// The next edit dialog assigns the values and confirms, or cancels.
inline void PlayEditDialog(TScriptedPrompts& prompts, QList<std::pair<QString, QString>> values, bool confirm = true)
{
    prompts.Dialogs.push_back([values, confirm](QDialog& dialog) {
        TContentRec& rec = *static_cast<TEditForm&>(dialog).ContentRec;
        for (const auto& [fldId, value] : values)
            rec.SetVal(fldId, value);
        return int(confirm ? QDialog::Accepted : QDialog::Rejected);
    });
}

// The record of the focused cell and the cell's column; none without a focused grid.
inline std::pair<TContentRec*, int> FocusedCell(const TMainForm& form)
{
    const auto* grid = qobject_cast<TRecordGrid*>(form.focusWidget());
    if (!grid || grid->FocusedRow() < 0)
        return {nullptr, -1};
    return {grid->Rec(grid->FocusedRow()), grid->currentIndex().column()};
}

}  // namespace ViewFixture
