#pragma once

#include <QDate>
#include <QString>

#include <functional>

class TMainForm;

// Open, Save and Save As of the main window: the file dialogs, the default
// file name, and reading and writing the content list with the file state
// that follows.
class TFileCommands {
public:
    explicit TFileCommands(TMainForm& form) : FForm(form) {}

    void Open();
    void Save();
    void SaveAs();
    void LoadUVO(const QString& FileName);
    void SaveToFile(const QString& FileName);

    // The name the Save dialog holds; it proposes its name part next time.
    const QString& SaveDialogFileName() const { return FSaveDialogFileName; }

    // Today's local date; tests fix it.
    std::function<QDate()> Today = [] { return QDate::currentDate(); };

    static inline const QString Filter = QStringLiteral("Файлы UVO (*.uvo)");
    static inline const QString DefaultExt = QStringLiteral("uvo");

private:
    QString DefaultFileName() const;

    TMainForm& FForm;
    QString FSaveDialogFileName;
};
