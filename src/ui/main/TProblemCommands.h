#pragma once

#include <QObject>
#include <QPointer>

class QAction;
class TContentRec;
class TMainForm;
class TProblemsDock;
class TRecordGrid;

// The problems of the open file in the menu "Правка": the list "Проверка" in
// a dock (F9), and the next and previous invalid value from the focused cell
// in the order of the view (F8, Shift+F8), round past the end with a word in
// the status bar.
class TProblemCommands : public QObject {
    Q_OBJECT
public:
    explicit TProblemCommands(TMainForm& form);

    TProblemsDock& Dock() const { return *FDock; }
    void SetEnabled(bool enabled);

    void actProblemsExecute(bool shown);
    void actNextProblemExecute();
    void actPrevProblemExecute();

    QAction* actProblems;
    QAction* actNextProblem;
    QAction* actPrevProblem;

    static inline const QString WrappedForward = QStringLiteral("Достигнут конец, поиск продолжен с начала");
    static inline const QString WrappedBackward = QStringLiteral("Достигнуто начало, поиск продолжен с конца");
    static inline const QString NoneShown = QStringLiteral("В показанных записях недопустимых значений нет");

private:
    void StepToProblem(bool forward);
    void FocusChanged(QWidget* now);

    TMainForm& FForm;
    TProblemsDock* FDock;
    QPointer<TRecordGrid> FLastGrid;  // the grid whose cell the user was on last
};
