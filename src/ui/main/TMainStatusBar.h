#pragma once

#include <QStatusBar>

class QLabel;
class QTimer;

// The main window's status bar: panel 0 (150 px, wider for long counts)
// holds the record counts, panel 1 (50 px) the "Изменён" marker in bold olive,
// and a third panel after them a passing note of a command, so that a note
// never hides the two.
class TMainStatusBar : public QStatusBar {
    Q_OBJECT
public:
    explicit TMainStatusBar(QWidget* parent = nullptr);

    QString PanelText(int panel) const;
    void SetPanelText(int panel, const QString& text);

    // Shows text in the note panel for ms milliseconds.
    void ShowNote(const QString& text, int ms);
    QString NoteText() const;

private:
    QLabel* FPanels[2];
    QLabel* FNote;
    QTimer* FNoteTimer;
};
