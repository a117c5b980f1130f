#pragma once

#include <QByteArray>
#include <QString>
#include <QTemporaryDir>

#include "TScriptedPrompts.h"
#include "TestCache.h"

#include <memory>
#include <optional>

class TMainForm;

// Makes an empty temporary folder the current directory for one test, so the
// settings file "uvoedit.ini" never leaks between tests or into the tree; the
// user's cache and configuration folders are its folders "cache" and "config".
class TTempCurrentDir {
public:
    TTempCurrentDir();
    ~TTempCurrentDir();
    QString FilePath(const QString& name) const { return FDir.filePath(name); }

private:
    QTemporaryDir FDir;
    QString FPrevious;
    TTestCache FCache{FDir.filePath(QStringLiteral("cache"))};
    TTestConfig FConfig{FDir.filePath(QStringLiteral("config"))};
};

// Small format descriptions for windows under test.
namespace TestFormat {

// Header, Account and Trailer active, one inactive type, two fields.
QByteArray Valid();

}  // namespace TestFormat

// A fresh main window for one test, with its dialogs made as at start-up: a
// temporary current directory holding empty settings, every prompt answered
// by a script. Members are destroyed in
// reverse order, the window first.
class TFreshWindow {
public:
    explicit TFreshWindow(std::optional<QByteArray> formatText = std::nullopt);
    ~TFreshWindow();

    TTempCurrentDir Dir;
    TScriptedPrompts Prompts;
    std::unique_ptr<TMainForm> Form;
};
