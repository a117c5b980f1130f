#pragma once

#include <QObject>

class QAction;
class TMainForm;

// "Правка" → "Заменить значение…" (Ctrl+H): one field set to one value in many
// records of the open file, chosen in the replace dialog, as one step of the
// undo history.
class TReplaceCommand : public QObject {
    Q_OBJECT
public:
    // Adds the command to the menu "Правка" as form.actReplace.
    explicit TReplaceCommand(TMainForm& form);

    void actReplaceExecute();

    static inline const QString StepName = QStringLiteral("замена значения");

private:
    TMainForm& FForm;
};
