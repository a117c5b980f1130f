#pragma once

#include <QObject>
#include <QString>
#include <QStringList>

class QMimeData;
class QTextStream;
class TMainForm;

// Files handed to the editor from outside its Open dialog: the file named on
// the command line (a file manager passes it when a .uvo file is opened) and a
// .uvo file dropped onto the main window. Each is opened as Open opens the file
// chosen in its dialog: CanLeaveFile, then LoadUVO with its messages on
// failure. Nothing is opened while Open is disabled (the limited mode).
class TExternalOpen : public QObject {
public:
    // Makes the window accept dropped files; the window owns this object.
    explicit TExternalOpen(TMainForm& form);

    // args are the editor's arguments without the program name. The first one
    // that is not an option is the file to open; every other argument is named
    // in notes and otherwise ignored. The file opens once the event loop runs,
    // so the window is on screen first.
    void OpenArguments(const QStringList& args, QTextStream& notes);

    // The first local .uvo file among the dropped data, or empty.
    static QString DroppedFile(const QMimeData& data);

protected:
    bool eventFilter(QObject* watched, QEvent* event) override;

private:
    void OpenLater(const QString& FileName);
    void Open(const QString& FileName);

    TMainForm& FForm;
};
