#pragma once

#include <QObject>
#include <QString>
#include <QStringList>

class QMenu;
class TMainForm;

// "Последние файлы", the submenu of "Файл" after "Открыть": the files last
// opened or saved, newest first, kept in the user's configuration folder so
// that every window and every later start sees them. Choosing one opens it as
// Open does: CanLeaveFile, then LoadUVO. A file no longer there is named in a
// message and leaves the list.
class TRecentFiles : public QObject {
public:
    static constexpr int MaxCount = 8;
    static inline const QString MissingTitle = QStringLiteral("Последние файлы");
    static inline const QString MissingText = QStringLiteral("Файл не найден и убран из списка:\n%1");

    // Puts the submenu into form's "Файл" menu; the window owns this object.
    explicit TRecentFiles(TMainForm& form);

    QMenu* Menu() const { return FMenu; }
    // The files, newest first, as the configuration folder holds them now.
    static QStringList Files();

    void Choose(const QString& FileName);

private:
    // The open file is noted each time its name or state is written; a file
    // never saved has no name to note.
    void NoteCurrentFile();
    static void Store(const QStringList& files);
    void FillMenu();

    TMainForm& FForm;
    QMenu* FMenu;
};
