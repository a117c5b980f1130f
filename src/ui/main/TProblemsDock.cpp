#include "TProblemsDock.h"

#include "TProblemsModel.h"
#include "TUvoDocument.h"

#include <QHeaderView>
#include <QSortFilterProxyModel>
#include <QTableView>

namespace {

// "1 116": thousands apart, as the window writes numbers.
QString Grouped(qsizetype n)
{
    QString digits = QString::number(n);
    for (qsizetype i = digits.size() - 3; i > 0; i -= 3)
        digits.insert(i, QLatin1Char(' '));
    return digits;
}

}  // namespace

TProblemsDock::TProblemsDock(TUvoDocument& document, QWidget* parent)
    : QDockWidget(parent),
      FDocument(document),
      FProblems(document.Content()),
      FModel(new TProblemsModel(document.Format(), this)),
      FSorted(new QSortFilterProxyModel(this)),
      FView(new QTableView(this))
{
    setObjectName(QStringLiteral("dkProblems"));
    setAllowedAreas(Qt::BottomDockWidgetArea | Qt::TopDockWidgetArea);
    FSorted->setSourceModel(FModel);
    FSorted->setSortLocaleAware(true);
    FView->setObjectName(QStringLiteral("ProblemsView"));
    FView->setModel(FSorted);
    FView->setSortingEnabled(true);
    FView->sortByColumn(-1, Qt::AscendingOrder);  // the check's own order until a header is clicked
    FView->setSelectionBehavior(QAbstractItemView::SelectRows);
    FView->setSelectionMode(QAbstractItemView::SingleSelection);
    FView->setEditTriggers(QAbstractItemView::NoEditTriggers);
    FView->setWordWrap(false);
    FView->verticalHeader()->hide();
    FView->verticalHeader()->setDefaultSectionSize(FView->fontMetrics().height() + 4);
    FView->horizontalHeader()->setStretchLastSection(true);
    for (auto [column, width] : {std::pair(TProblemsModel::RecordColumn, 200), std::pair(TProblemsModel::AccountColumn, 170),
                                 std::pair(TProblemsModel::FieldColumn, 300), std::pair(TProblemsModel::ValueColumn, 160)})
        FView->setColumnWidth(column, width);
    setWidget(FView);
    setWindowTitle(TitleFor(0));
    connect(FView, &QAbstractItemView::activated, this, &TProblemsDock::RowActivated);
    connect(&document, &TUvoDocument::ContentAboutToBeReplaced, this, [this] {
        FProblems.Clear();
        ShowFindings();
    });
    connect(&document, &TUvoDocument::ContentReplaced, this, &TProblemsDock::ContentReplaced);
    // The findings of what was written: line numbers of the new file, no text lost on saving.
    connect(&document, &TUvoDocument::Saved, this, [this] { ContentReplaced(true); });
    connect(&document, &TUvoDocument::RecordsChanged, this, &TProblemsDock::RecordsChanged);
}

TProblemsDock::~TProblemsDock() = default;

QString TProblemsDock::TitleFor(qsizetype count) { return QStringLiteral("Проверка: ") + Grouped(count); }

void TProblemsDock::ContentReplaced(bool fromFile)
{
    FProblems.CheckAll(fromFile, FDocument.ReadLosses());
    ShowFindings();
}

void TProblemsDock::RecordsChanged(const TRecordChange& change)
{
    FProblems.Update(change);
    ShowFindings();
}

void TProblemsDock::ShowFindings()
{
    FModel->SetFindings(FProblems.Findings());
    setWindowTitle(TitleFor(qsizetype(FProblems.Findings().size())));
}

void TProblemsDock::RowActivated(const QModelIndex& index)
{
    const int row = FSorted->mapToSource(index).row();
    if (row >= 0 && FModel->Record(row))
        emit JumpRequested(FModel->Record(row), FModel->FieldIndex(row));
}
