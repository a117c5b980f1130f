#pragma once

#include <QByteArray>
#include <QString>
#include <QTemporaryDir>

// Makes an empty temporary folder the current directory for one test, so the
// settings file "uvoedit.ini" never leaks between tests or into the tree.
class TTempCurrentDir {
public:
    TTempCurrentDir();
    ~TTempCurrentDir();
    QString FilePath(const QString& name) const { return FDir.filePath(name); }

private:
    QTemporaryDir FDir;
    QString FPrevious;
};

// Small format descriptions for windows under test.
namespace TestFormat {

// Header, Account and Trailer active, one inactive type, two fields.
QByteArray Valid();

}  // namespace TestFormat
