#pragma once

#include <QDate>
#include <QObject>
#include <QPointer>
#include <QString>

#include <functional>
#include <memory>
#include <vector>

class QWidget;
class TContentRec;
class TFileCommands;
class TRecordGrid;
class TUvoDocument;
struct TSettings;

// The commands on the records of the open file: add, copy, delete and edit a
// record from the record context menu or a double-click, and the new file
// with one record of every active type. Adding, copying and editing work on a
// scratch record shown in the record edit dialog; only a confirmed dialog
// changes the content list, through the document, as one step of its undo
// history.
class TRecordCommands : public QObject {
    Q_OBJECT
public:
    // dialogOwner owns the edit dialogs while they are shown.
    TRecordCommands(TUvoDocument& document, TFileCommands& files, const TSettings& settings, QWidget* dialogOwner);
    ~TRecordCommands() override;

    // The record menu opens over grid, or over the panel area itself (none):
    // the menu's commands apply to that grid's focused row.
    void mnVTPopupPopup(TRecordGrid* grid);

    void mnEditRecClick();
    void mnCopyRecClick();
    void mnDeleteRecClick();
    void mnSubAddRecClick(const QString& RecID);

    // A double-click edits the grid's focused record once the grid has finished
    // handling the click.
    void VTNodeDblClick(TRecordGrid* VT);

    void AddRec(const QString& RecID, const TContentRec* FromRec);
    void CopyRec(TRecordGrid* VT, int Node);
    void DeleteRec(TRecordGrid* VT, int Node);
    void EditRec(TContentRec* ContentRec);
    void actNewRecsExecute();

    // Fills a fresh record with the values known in advance, FromRec's account among them.
    void ApplyKnownValues(TContentRec& Rec, const TContentRec* FromRec) const;

    // Today's local date; tests fix it.
    std::function<QDate()> Today = [] { return QDate::currentDate(); };

private:
    TContentRec* PopupRec() const;
    bool Confirmed(const QString& Caption, TContentRec& Scratch);
    void AddConfirmed(std::unique_ptr<TContentRec> Scratch, const QString& Caption, const QString& StepName);
    void WMEditNode(TContentRec* Rec);

    TUvoDocument& FDocument;
    TFileCommands& FFiles;
    const TSettings& FSettings;
    QWidget* FDialogOwner;
    QPointer<TRecordGrid> FPopupGrid;
};
