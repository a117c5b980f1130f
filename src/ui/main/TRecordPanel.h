#pragma once

#include <QWidget>

#include <optional>

class QLabel;
class TContentRec;
class TRecordGrid;

// One collapsible category panel of the panel area: a caption bar over the
// grid of one run of records. The panel owns its grid.
class TRecordPanel : public QWidget {
    Q_OBJECT
public:
    // The grid's columns follow first's layout; its font comes from parent.
    TRecordPanel(const QString& caption, const TContentRec& first, QWidget* parent);

    // Hyphens by the type's level, its name without " Record", and with an
    // account chosen (filterAccount given) the account or the holder's name.
    static QString CaptionFor(const TContentRec& first, const std::optional<QString>& filterAccount);

    QString Caption() const;
    TRecordGrid* Grid() const { return FGrid; }
    int CaptionHeight() const;

    // The height the panel takes while expanded.
    void SetExpandedHeight(int height);
    bool Collapsed() const { return FCollapsed; }
    void SetCollapsed(bool collapsed);

private:
    QLabel* FCaptionBar;
    TRecordGrid* FGrid;
    int FExpandedHeight = 0;
    bool FCollapsed = false;
};
