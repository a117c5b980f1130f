#pragma once

#include <QStatusBar>

class QLabel;

// The main window's status bar: panel 0 (150 px, wider for long counts)
// holds the record counts, panel 1 (50 px) the "Изменён" marker in bold olive.
class TMainStatusBar : public QStatusBar {
    Q_OBJECT
public:
    explicit TMainStatusBar(QWidget* parent = nullptr);

    QString PanelText(int panel) const;
    void SetPanelText(int panel, const QString& text);

private:
    QLabel* FPanels[2];
};
