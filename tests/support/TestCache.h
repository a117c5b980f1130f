#pragma once

#include <QByteArray>
#include <QFile>
#include <QString>

// The user's cache folder, where saves in place keep their copies, in a
// folder of the test for its lifetime.
class TTestCache {
public:
    explicit TTestCache(const QString& folder)
        : FHad(qEnvironmentVariableIsSet("XDG_CACHE_HOME")), FOld(qgetenv("XDG_CACHE_HOME"))
    {
        qputenv("XDG_CACHE_HOME", QFile::encodeName(folder));
    }
    ~TTestCache()
    {
        if (FHad)
            qputenv("XDG_CACHE_HOME", FOld);
        else
            qunsetenv("XDG_CACHE_HOME");
    }
    TTestCache(const TTestCache&) = delete;
    TTestCache& operator=(const TTestCache&) = delete;

private:
    bool FHad;
    QByteArray FOld;
};
