#pragma once

#include <QObject>
#include <QPointer>

class QAction;
class TCompareDock;
class TMainForm;

// "Сравнить с файлом…" in the menu "Правка": the older file chosen, read and
// compared with the open file under one progress dialog, the result in the
// dock "Сравнение" beside the problems list, and its entries shown in the
// window when chosen there.
class TCompareCommands : public QObject {
    Q_OBJECT
public:
    explicit TCompareCommands(TMainForm& form);

    // None until a comparison is made, and again once its dock is closed.
    TCompareDock* Dock() const;
    void SetEnabled(bool enabled);

    void actCompareExecute();
    // Reads the older file and compares the open file with it; a file that
    // cannot be read leaves any comparison before as it was.
    void CompareWith(const QString& olderFile);

    QAction* actCompare;

private:
    TCompareDock& NewDock();

    TMainForm& FForm;
    QPointer<TCompareDock> FDock;
};
