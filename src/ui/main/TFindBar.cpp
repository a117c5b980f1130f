#include "TFindBar.h"

#include "TPanelArea.h"
#include "TRecordGrid.h"

#include <QAction>
#include <QApplication>
#include <QCheckBox>
#include <QHBoxLayout>
#include <QLabel>
#include <QLineEdit>
#include <QToolButton>

namespace {

QAction* NewAction(QObject* owner, const char* name, const QString& caption, const QKeySequence& key, const char* icon)
{
    auto* action = new QAction(QIcon::fromTheme(QLatin1String(icon)), caption, owner);
    action->setObjectName(QLatin1String(name));
    action->setShortcut(key);
    action->setToolTip(caption + QStringLiteral(" (") + key.toString(QKeySequence::NativeText) + u')');
    return action;
}

}  // namespace

TFindBar::TFindBar(TPanelArea& area, QWidget* parent) : QWidget(parent), FArea(area)
{
    setObjectName(QStringLiteral("FindBar"));
    actFindNext = NewAction(this, "actFindNext", QStringLiteral("Найти далее"), QKeySequence(Qt::Key_F3), "go-down");
    actFindPrevious = NewAction(this, "actFindPrevious", QStringLiteral("Найти ранее"),
                                QKeySequence(Qt::SHIFT | Qt::Key_F3), "go-up");
    actFindClose = NewAction(this, "actFindClose", QStringLiteral("Закрыть"), QKeySequence(Qt::Key_Escape),
                             "window-close");
    addAction(actFindClose);  // Esc works while the bar is shown

    edFindText = new QLineEdit(this);
    edFindText->setObjectName(QStringLiteral("edFindText"));
    edFindText->setClearButtonEnabled(true);
    edFindText->setFixedWidth(300);
    chkMatchCase = new QCheckBox(QStringLiteral("С учётом регистра"), this);
    chkMatchCase->setObjectName(QStringLiteral("chkMatchCase"));
    chkWholeValue = new QCheckBox(QStringLiteral("Только целое значение"), this);
    chkWholeValue->setObjectName(QStringLiteral("chkWholeValue"));
    lblFindStatus = new QLabel(this);
    lblFindStatus->setObjectName(QStringLiteral("lblFindStatus"));

    auto* row = new QHBoxLayout(this);
    row->setContentsMargins(4, 2, 4, 2);
    row->addWidget(new QLabel(QStringLiteral("Найти:"), this));
    row->addWidget(edFindText);
    row->addWidget(NewButton(actFindPrevious));
    row->addWidget(NewButton(actFindNext));
    row->addSpacing(8);
    row->addWidget(chkMatchCase);
    row->addWidget(chkWholeValue);
    row->addSpacing(8);
    row->addWidget(lblFindStatus);
    row->addStretch();
    row->addWidget(NewButton(actFindClose));

    connect(actFindNext, &QAction::triggered, this, &TFindBar::FindNext);
    connect(actFindPrevious, &QAction::triggered, this, &TFindBar::FindPrevious);
    connect(actFindClose, &QAction::triggered, this, &TFindBar::Close);
    connect(edFindText, &QLineEdit::returnPressed, this, &TFindBar::FindNext);
    connect(edFindText, &QLineEdit::textChanged, lblFindStatus, &QLabel::clear);
    connect(qApp, &QApplication::focusChanged, this, [this](QWidget*, QWidget* now) { GridFocused(now); });
    hide();
}

QToolButton* TFindBar::NewButton(QAction* action)
{
    auto* button = new QToolButton(this);
    button->setDefaultAction(action);
    button->setAutoRaise(true);
    if (action->icon().isNull())  // a desktop without the icon theme
        button->setArrowType(action == actFindNext ? Qt::DownArrow : action == actFindPrevious ? Qt::UpArrow : Qt::NoArrow);
    return button;
}

void TFindBar::GridFocused(QWidget* now)
{
    if (auto* grid = qobject_cast<TRecordGrid*>(now); grid && FArea.isAncestorOf(grid))
        FFocusedGrid = grid;
}

void TFindBar::Open()
{
    show();
    edFindText->setFocus(Qt::ShortcutFocusReason);
    edFindText->selectAll();
}

void TFindBar::Close()
{
    hide();
    if (FFocusedGrid)
        FFocusedGrid->setFocus(Qt::OtherFocusReason);
}

bool TFindBar::FindNext() { return Find(TValueSearch::TDirection::Next); }

bool TFindBar::FindPrevious() { return Find(TValueSearch::TDirection::Previous); }

bool TFindBar::Find(TValueSearch::TDirection direction)
{
    if (isHidden() || edFindText->text().isEmpty()) {
        Open();
        if (edFindText->text().isEmpty())
            return false;
    }
    // The records of every grid, in the order of the view; the search starts
    // from the focused cell of the grid that last had the keyboard focus.
    std::vector<const TContentRec*> rows;
    rows.reserve(size_t(FArea.ShownRowCount()));
    TValueSearch::TCell from;
    for (const TRecordGrid* grid : FArea.VTList()) {
        if (grid == FFocusedGrid && grid->FocusedRow() >= 0)
            from = {int(rows.size()) + grid->FocusedRow(), grid->currentIndex().column()};
        for (int row = 0; row < grid->RowCount(); ++row)
            rows.push_back(grid->Rec(row));
    }
    const TValueSearch search({edFindText->text(), chkMatchCase->isChecked(), chkWholeValue->isChecked()});
    const std::optional<TValueSearch::TCell> found = search.Find(rows, from, direction);
    lblFindStatus->setText(found ? QString() : QStringLiteral("Не найдено"));
    return found && FArea.FocusField(rows[size_t(found->Row)], found->Field);
}
