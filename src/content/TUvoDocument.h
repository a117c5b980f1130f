#pragma once

#include "TContent.h"

#include <QObject>
#include <QString>

// The open data file: its records, the path it was read from or last written
// to, and whether it has unsaved changes. The windows show this state; the
// commands change it.
class TUvoDocument : public QObject {
    Q_OBJECT
    Q_PROPERTY(QString CurrentFile READ CurrentFile WRITE SetCurrentFile NOTIFY CurrentFileChanged)
    Q_PROPERTY(bool RecsChanged READ RecsChanged WRITE SetRecsChanged NOTIFY RecsChangedWritten)

public:
    explicit TUvoDocument(const TFormat& format, QObject* parent = nullptr);

    const TFormat& Format() const { return FContent.Format(); }
    // The one content list: it owns its records and is only emptied and refilled.
    TContent& Content() { return FContent; }
    const TContent& Content() const { return FContent; }

    // Full path of the file last read or written; empty for a file never saved.
    const QString& CurrentFile() const { return FCurrentFile; }
    void SetCurrentFile(const QString& path);

    bool RecsChanged() const { return FRecsChanged; }
    // Every write is announced, changed or not: writing the flag is also how
    // the shown file state catches up with a new CurrentFile.
    void SetRecsChanged(bool value);

signals:
    void CurrentFileChanged(const QString& path);
    void RecsChangedWritten(bool changed);
    // The content list was emptied, to be refilled with another file.
    void ContentCleared();

private:
    TContent FContent;
    QString FCurrentFile;
    bool FRecsChanged = false;
};
