#pragma once

#include "ContentProblems.h"

#include <QDockWidget>

class QSortFilterProxyModel;
class QTableView;
class TProblemsModel;
class TUvoDocument;

// The dock "Проверка": the problems of the open file, one row per finding,
// sortable by every column, its count in the title. It follows every change
// that the document announces. A double-click or Enter on a row asks to show
// the finding's record and field.
class TProblemsDock : public QDockWidget {
    Q_OBJECT
public:
    explicit TProblemsDock(TUvoDocument& document, QWidget* parent = nullptr);
    ~TProblemsDock() override;

    static QString TitleFor(qsizetype count);

    const TContentProblems& Problems() const { return FProblems; }
    TProblemsModel& Model() const { return *FModel; }
    QTableView* View() const { return FView; }

    // How the list follows the document: all records replaced, some changed.
    void ContentReplaced(bool fromFile);
    void RecordsChanged(const TRecordChange& change);

signals:
    void JumpRequested(const TContentRec* rec, int fieldIndex);

private:
    void ShowFindings();
    void RowActivated(const QModelIndex& index);

    TUvoDocument& FDocument;
    TContentProblems FProblems;
    TProblemsModel* FModel;
    QSortFilterProxyModel* FSorted;
    QTableView* FView;
};
