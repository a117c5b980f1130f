#include "TCompareDock.h"

#include "ContentComparison.h"
#include "TCompareModel.h"
#include "TLongFileTask.h"
#include "TUvoDocument.h"

#include <QDir>
#include <QHBoxLayout>
#include <QHeaderView>
#include <QLabel>
#include <QLocale>
#include <QSet>
#include <QSortFilterProxyModel>
#include <QToolButton>
#include <QTreeView>
#include <QVBoxLayout>

namespace {

QString Number(qsizetype n) { return QLocale(QLocale::Russian).toString(qlonglong(n)); }

// Which entries of the tree are open and which is current, by the names the
// model gives them, so that a change of the results keeps them.
class TTreeState {
public:
    TTreeState(QTreeView& view, const QSortFilterProxyModel& sorted, const TCompareModel& model)
        : FView(view), FSorted(sorted), FModel(model)
    {
    }

    void Save()
    {
        FCurrent = Key(FView.currentIndex());
        WalkOpen({}, [this](const QModelIndex& index) {
            if (FView.isExpanded(index))
                FExpanded.insert(Key(index));
        });
    }

    void Restore()
    {
        WalkOpen({}, [this](const QModelIndex& index) {
            const QString key = Key(index);
            if (FExpanded.contains(key))
                FView.expand(index);
            if (!FCurrent.isEmpty() && key == FCurrent)
                FView.setCurrentIndex(index);
        });
    }

private:
    QString Key(const QModelIndex& index) const { return FModel.EntryKey(FSorted.mapToSource(index)); }

    // Every entry whose parents are all open, parents first.
    template <typename Visit>
    void WalkOpen(const QModelIndex& parent, Visit visit)
    {
        for (int row = 0; row < FSorted.rowCount(parent); ++row) {
            const QModelIndex index = FSorted.index(row, 0, parent);
            visit(index);
            if (FView.isExpanded(index))
                WalkOpen(index, visit);
        }
    }

    QTreeView& FView;
    const QSortFilterProxyModel& FSorted;
    const TCompareModel& FModel;
    QSet<QString> FExpanded;
    QString FCurrent;
};

}  // namespace

TCompareDock::TCompareDock(TUvoDocument& document, QWidget* parent)
    : QDockWidget(parent),
      FDocument(document),
      FModel(new TCompareModel(this)),
      FSorted(new QSortFilterProxyModel(this)),
      FView(new QTreeView(this)),
      FNote(new QLabel(this)),
      FRefresh(new QToolButton(this))
{
    setObjectName(QStringLiteral("dkCompare"));
    setAttribute(Qt::WA_DeleteOnClose);
    setAllowedAreas(Qt::BottomDockWidgetArea | Qt::TopDockWidgetArea);
    setWindowTitle(QStringLiteral("Сравнение"));

    FSorted->setSourceModel(FModel);
    FSorted->setSortLocaleAware(true);
    FView->setObjectName(QStringLiteral("CompareView"));
    FView->setModel(FSorted);
    FView->setSortingEnabled(true);
    FView->sortByColumn(-1, Qt::AscendingOrder);  // the comparison's own order until a header is clicked
    FView->setUniformRowHeights(true);
    FView->setExpandsOnDoubleClick(false);  // a double-click shows the entry in the file
    FView->setEditTriggers(QAbstractItemView::NoEditTriggers);
    FView->setSelectionBehavior(QAbstractItemView::SelectRows);
    FView->header()->setStretchLastSection(true);
    for (auto [column, width] : {std::pair(TCompareModel::SubjectColumn, 320), std::pair(TCompareModel::ChangeColumn, 90),
                                 std::pair(TCompareModel::OldColumn, 260)})
        FView->setColumnWidth(column, width);

    FNote->setObjectName(QStringLiteral("CompareNote"));
    FNote->setSizePolicy(QSizePolicy::Ignored, QSizePolicy::Preferred);  // a long path does not widen the dock
    FRefresh->setObjectName(QStringLiteral("btnCompareRefresh"));
    FRefresh->setText(QStringLiteral("Обновить"));
    FRefresh->setToolTip(QStringLiteral("Прочитать файл сравнения заново и сравнить"));
    auto* client = new QWidget(this);
    auto* column = new QVBoxLayout(client);
    column->setContentsMargins(2, 2, 2, 2);
    auto* bar = new QHBoxLayout;
    bar->addWidget(FNote, 1);
    bar->addWidget(FRefresh);
    column->addLayout(bar);
    column->addWidget(FView, 1);
    setWidget(client);

    connect(FView, &QAbstractItemView::activated, this, &TCompareDock::EntryActivated);
    connect(FRefresh, &QToolButton::clicked, this, &TCompareDock::RefreshRequested);
    FollowDocument();
}

TCompareDock::~TCompareDock()
{
    FModel->SetAccounts(nullptr);  // the results go before the model that shows them
}

void TCompareDock::FollowDocument()
{
    const auto follow = [this](const std::function<void()>& change) {
        if (FComparison)
            Change(change);
    };
    connect(&FDocument, &TUvoDocument::ContentAboutToBeReplaced, this, [=, this] { follow([this] { FComparison->Clear(); }); });
    connect(&FDocument, &TUvoDocument::ContentReplaced, this, [=, this] {
        follow([this] {
            TLongFileTask task(window(), QStringLiteral("Сравнение файлов…"));
            FComparison->CompareAll([&](qint64 done, qint64 total) { task.Progress(done, total); });
        });
    });
    connect(&FDocument, &TUvoDocument::RecordsChanged, this,
            [=, this](const TRecordChange& change) { follow([&] { FComparison->Update(change); }); });
}

void TCompareDock::Start(const QString& olderFile, std::unique_ptr<TContent> older, const UvoFile::TProgress& progress)
{
    FOlderFile = olderFile;
    Change([&] {
        FComparison = std::make_unique<TContentComparison>(std::move(older), FDocument.Content());
        FComparison->CompareAll(progress);
    });
}

void TCompareDock::Change(const std::function<void()>& change)
{
    TTreeState state(*FView, *FSorted, *FModel);
    state.Save();
    // Nothing is read from the results while they change, whatever events
    // a progress dialog lets through meanwhile.
    FModel->SetAccounts(nullptr);
    change();
    FModel->SetAccounts(&FComparison->Accounts());
    state.Restore();
    ShowCounts();
}

QString TCompareDock::TitleFor(const TDiffSummary& s)
{
    return QStringLiteral("Сравнение: счетов добавлено %1, удалено %2, изменено %3")
        .arg(Number(s.AccountsAdded), Number(s.AccountsRemoved), Number(s.AccountsChanged));
}

void TCompareDock::ShowCounts()
{
    const TDiffSummary& s = FComparison->Summary();
    setWindowTitle(TitleFor(s));
    const QString file = QStringLiteral("С файлом %1").arg(QDir::toNativeSeparators(FOlderFile));
    if (FComparison->Same()) {
        FNote->setText(file + QStringLiteral(": различий нет."));
        return;
    }
    FNote->setText(file + QStringLiteral(". Записей добавлено %1, удалено %2, изменено %3; полей изменено %4.")
                              .arg(Number(s.RecordsAdded), Number(s.RecordsRemoved), Number(s.RecordsChanged),
                                   Number(s.FieldsChanged)));
}

void TCompareDock::EntryActivated(const QModelIndex& index)
{
    const QModelIndex entry = FSorted->mapToSource(index);
    const TCompareModel::TTarget target = FModel->Target(entry);
    if (target.Rec)
        emit JumpRequested(target.Rec, target.FieldIndex);
    else if (entry.isValid())
        emit NotInOpenFile(entry.parent().isValid() ? RecordOnlyInOlder : AccountOnlyInOlder);
}
