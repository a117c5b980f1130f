#pragma once

#include "TDescriptor.h"

#include <QString>

#include <vector>

struct stat;

// A file rewritten in place (its folder allows no new file beside it) is
// never left a silent mixture of new and old lines: its whole new content
// goes first into a private copy in the user's cache folder, with a note
// naming the file, and only then over the file. A save cut short there (the
// program killed, the machine down) leaves copy and note behind, and the next
// run of the editor or of uvotool tells of it and finishes it from the copy.
namespace InterruptedSaves {

struct TInterruptedSave {
    QString Target;              // the file that was being rewritten
    QString Copy;                // its complete new content
    bool TargetChanged = false;  // another program has replaced or removed the file since
    quint64 Device = 0;          // of the file being rewritten
    quint64 Inode = 0;
    QString Note;                // the note of the save
};

// The folder of the copies: "uvoedit/saves" in the user's cache folder. Where
// that cannot be had (a home folder that is not the user's), the copies go to
// a folder of the user's own among the temporary files.
QString Folder();

// The saves cut short whose program has ended. Copies of saves that ended
// before they touched their file go on the way.
std::vector<TInterruptedSave> Pending();
// Those of one file, by any name of it.
std::vector<TInterruptedSave> PendingFor(const QString& fileName);

// Writes the copy to its file the way every save writes a file, then forgets
// the save. Throws TUvoError; the save stays pending then.
void Finish(const TInterruptedSave& save);

// The file was just written whole: what the copies of its earlier saves hold
// is older, and they go.
void Forget(const QString& fileName);

// The private copy of one save in place. Made empty and locked: the lock
// tells others that the save is running, and goes with the program. The
// writer fills it, commits it once it is complete, which writes the note,
// and removes it when the save has ended.
class TSaveCopy {
public:
    // Throws TUvoError when no private folder can be had.
    explicit TSaveCopy(const QString& target);
    ~TSaveCopy() = default;  // the files stay unless Remove ran: a death leaves them as well

    int Fd() const { return FFile.Fd(); }
    const QString& Path() const { return FPath; }
    // The copy holds all size bytes of the target's new content: flushed, then
    // the note. 0 or the system's error number.
    int Commit(const struct stat& target, qint64 size);
    void Remove();

private:
    QString FTarget;
    QString FPath;
    QString FNote;
    TDescriptor FFile;
};

}  // namespace InterruptedSaves
