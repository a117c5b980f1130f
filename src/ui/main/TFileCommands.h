#pragma once

#include "FileIo.h"

#include <QDate>
#include <QString>

#include <functional>
#include <optional>

class TUvoDocument;
struct TSettings;

// Open, Save and Save As of the main window: the file dialogs, the default
// file name, reading and writing the content list with the file state that
// follows, and the question before unsaved changes are discarded.
class TFileCommands {
public:
    TFileCommands(TUvoDocument& document, const TSettings& settings) : FDocument(document), FSettings(settings)
    {
    }

    // True when the open file may be discarded; offers to save unsaved changes.
    bool CanLeaveFile();
    void Open();
    void Save();
    void SaveAs();
    void LoadUVO(const QString& FileName);
    void SaveToFile(const QString& FileName);

    // The open file on disk is no longer the one read or last written: another
    // program has changed, replaced or removed it.
    bool ChangedOnDisk() const;

    // The name the Save dialog holds; it proposes its name part next time.
    const QString& SaveDialogFileName() const { return FSaveDialogFileName; }

    // Today's local date; tests fix it.
    std::function<QDate()> Today = [] { return QDate::currentDate(); };

    static inline const QString Filter = QStringLiteral("Файлы UVO (*.uvo)");
    static inline const QString DefaultExt = QStringLiteral("uvo");
    static inline const QString ChangedOnDiskQuestion = QStringLiteral("Файл изменён другой программой. Перезаписать?");
    static inline const QString ChangedOnDiskNote = QStringLiteral("Файл изменён другой программой.");

private:
    QString DefaultFileName() const;
    // The file as it stands on disk now that it has been read or written.
    void NoteOnDisk(const QString& FileName);

    TUvoDocument& FDocument;
    const TSettings& FSettings;
    QString FSaveDialogFileName;
    // The file last read or written, as it stood on disk then.
    struct {
        QString Path;
        std::optional<FileIo::TFileIdentity> Identity;
    } FOnDisk;
};
