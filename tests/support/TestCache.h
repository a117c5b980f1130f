#pragma once

#include <QByteArray>
#include <QFile>
#include <QString>

// One of the user's folders named by an XDG variable, in a folder of the test
// for its lifetime.
class TTestUserFolder {
public:
    TTestUserFolder(const char* variable, const QString& folder)
        : FVariable(variable), FHad(qEnvironmentVariableIsSet(variable)), FOld(qgetenv(variable))
    {
        qputenv(variable, QFile::encodeName(folder));
    }
    ~TTestUserFolder()
    {
        if (FHad)
            qputenv(FVariable, FOld);
        else
            qunsetenv(FVariable);
    }
    TTestUserFolder(const TTestUserFolder&) = delete;
    TTestUserFolder& operator=(const TTestUserFolder&) = delete;

private:
    const char* FVariable;
    bool FHad;
    QByteArray FOld;
};

// The user's cache folder, where saves in place keep their copies.
class TTestCache : public TTestUserFolder {
public:
    explicit TTestCache(const QString& folder) : TTestUserFolder("XDG_CACHE_HOME", folder) {}
};

// The user's configuration folder, where the list of recent files is kept.
class TTestConfig : public TTestUserFolder {
public:
    explicit TTestConfig(const QString& folder) : TTestUserFolder("XDG_CONFIG_HOME", folder) {}
};
