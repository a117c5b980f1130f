#include "TExternalOpen.h"

#include "AppErrorGuard.h"
#include "TInputBlock.h"
#include "TMainForm.h"

#include <QAction>
#include <QDropEvent>
#include <QFileInfo>
#include <QMimeData>
#include <QTextStream>
#include <QTimer>
#include <QUrl>

TExternalOpen::TExternalOpen(TMainForm& form) : QObject(&form), FForm(form)
{
    FForm.setAcceptDrops(true);
    FForm.installEventFilter(this);
}

void TExternalOpen::OpenArguments(const QStringList& args, QTextStream& notes)
{
    QString fileName;
    for (const QString& arg : args) {
        if (fileName.isEmpty() && !arg.isEmpty() && !arg.startsWith(u'-'))
            fileName = arg;
        else
            notes << "uvoedit: ignoring argument '" << arg << "': the editor takes only a file to open\n";
    }
    notes.flush();
    if (!fileName.isEmpty())
        OpenLater(fileName);
}

QString TExternalOpen::DroppedFile(const QMimeData& data)
{
    for (const QUrl& url : data.urls()) {
        const QFileInfo file(url.toLocalFile());
        if (url.isLocalFile() && file.suffix().compare(QStringLiteral("uvo"), Qt::CaseInsensitive) == 0)
            return file.absoluteFilePath();
    }
    return {};
}

bool TExternalOpen::eventFilter(QObject* watched, QEvent* event)
{
    const QEvent::Type type = event->type();
    if (type != QEvent::DragEnter && type != QEvent::DragMove && type != QEvent::Drop)
        return QObject::eventFilter(watched, event);
    auto* drop = static_cast<QDropEvent*>(event);
    const QString fileName = DroppedFile(*drop->mimeData());
    // Always a copy: a move accepted here would let the file manager delete the file.
    if (fileName.isEmpty() || !FForm.actOpen->isEnabled() || !(drop->possibleActions() & Qt::CopyAction)) {
        drop->ignore();
        return true;
    }
    drop->setDropAction(Qt::CopyAction);
    drop->accept();
    // Opened after the drop has ended, so the file manager is not held while
    // the window asks whether to save.
    if (type == QEvent::Drop)
        OpenLater(fileName);
    return true;
}

void TExternalOpen::OpenLater(const QString& FileName)
{
    // A file handed over while a long read or write runs waits for its end.
    QTimer::singleShot(0, this, [this, FileName] {
        TInputBlock::WhenIdle(this, [this, FileName] { RunGuarded([&] { Open(FileName); }); });
    });
}

void TExternalOpen::Open(const QString& FileName)
{
    if (!FForm.actOpen->isEnabled() || !FForm.CanLeaveFile())
        return;
    FForm.LoadUVO(QFileInfo(FileName).absoluteFilePath());
}
