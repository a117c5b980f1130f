#pragma once

#include "UvoFile.h"

#include <QDockWidget>

#include <functional>
#include <memory>

class QLabel;
class QSortFilterProxyModel;
class QToolButton;
class QTreeView;
class TCompareModel;
class TContent;
class TContentComparison;
class TContentRec;
class TUvoDocument;
struct TDiffSummary;
struct TRecordChange;

// The dock "Сравнение": what changed in the open file since an older one, as
// a tree of the accounts added, removed and changed with their records and
// fields, sortable by every column, the counts of accounts in the title. It
// follows every change that the document announces. Enter or a double-click
// on an entry asks to show its record and field; "Обновить" asks to read the
// older file again. Closing the dock ends the comparison and frees the older
// file's records.
class TCompareDock : public QDockWidget {
    Q_OBJECT
public:
    explicit TCompareDock(TUvoDocument& document, QWidget* parent = nullptr);
    ~TCompareDock() override;

    // Compares the open file with the records read from olderFile, in place
    // of any comparison before.
    void Start(const QString& olderFile, std::unique_ptr<TContent> older, const UvoFile::TProgress& progress);

    static QString TitleFor(const TDiffSummary& summary);
    const QString& OlderFile() const { return FOlderFile; }
    const TContentComparison& Comparison() const { return *FComparison; }
    TCompareModel& Model() const { return *FModel; }
    QTreeView* View() const { return FView; }
    QLabel* Note() const { return FNote; }
    QToolButton* RefreshButton() const { return FRefresh; }

    static inline const QString AccountOnlyInOlder =
        QStringLiteral("Этого счёта в открытом файле нет: он есть только в файле сравнения");
    static inline const QString RecordOnlyInOlder =
        QStringLiteral("Этой записи в открытом файле нет: она есть только в файле сравнения");

signals:
    void JumpRequested(const TContentRec* rec, int fieldIndex);
    // The entry chosen is only in the older file; message says so.
    void NotInOpenFile(const QString& message);
    void RefreshRequested();

private:
    void FollowDocument();
    // Lets the comparison change while the tree shows nothing, then shows it
    // again with the entries that were open still open and the current one
    // still current.
    void Change(const std::function<void()>& change);
    void ShowCounts();
    void EntryActivated(const QModelIndex& index);

    TUvoDocument& FDocument;
    std::unique_ptr<TContentComparison> FComparison;
    QString FOlderFile;
    TCompareModel* FModel;
    QSortFilterProxyModel* FSorted;
    QTreeView* FView;
    QLabel* FNote;
    QToolButton* FRefresh;
};
