#include "TMainStatusBar.h"

#include "UvoColors.h"

#include <QLabel>
#include <QTimer>

namespace {

QLabel* NewPanel(QWidget* parent, int width, const QString& styleSheet)
{
    auto* panel = new QLabel(parent);
    // At least the panel's width; wider only where a text would be cut, as the
    // counts of a file of hundreds of thousands of records would.
    panel->setMinimumWidth(width);
    panel->setIndent(4);  // text starts 4 px into the panel
    panel->setStyleSheet(styleSheet);
    return panel;
}

}  // namespace

TMainStatusBar::TMainStatusBar(QWidget* parent) : QStatusBar(parent)
{
    setObjectName(QStringLiteral("StatusBar"));
    FPanels[0] = NewPanel(this, 150, QString());
    const QString changedStyle = QStringLiteral("QLabel { font-weight: bold; color: %1; }");
    FPanels[1] = NewPanel(this, 50, changedStyle.arg(UvoColors::ChangedMarker.name()));
    FPanels[0]->setObjectName(QStringLiteral("StatusPanel0"));
    FPanels[1]->setObjectName(QStringLiteral("StatusPanel1"));
    // Normal (not permanent) widgets keep the panels on the left, as panels are.
    addWidget(FPanels[0]);
    addWidget(FPanels[1]);
    FNote = NewPanel(this, 0, QString());
    FNote->setObjectName(QStringLiteral("StatusNote"));
    addWidget(FNote, 1);
    FNoteTimer = new QTimer(this);
    FNoteTimer->setSingleShot(true);
    connect(FNoteTimer, &QTimer::timeout, FNote, &QLabel::clear);
}

QString TMainStatusBar::PanelText(int panel) const { return FPanels[panel]->text(); }

void TMainStatusBar::SetPanelText(int panel, const QString& text) { FPanels[panel]->setText(text); }

void TMainStatusBar::ShowNote(const QString& text, int ms)
{
    FNote->setText(text);
    FNoteTimer->start(ms);
}

QString TMainStatusBar::NoteText() const { return FNote->text(); }
