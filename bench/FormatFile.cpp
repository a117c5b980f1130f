#include "FormatFile.h"

#include <cstdio>

#include "FormatLoader.h"
#include "TFormat.h"

#include <QFile>

namespace FormatFile {

QString DefaultPath() { return QStringLiteral(UVO_DEFAULT_FORMAT_TEXT); }

QString TakePathOption(QStringList& args)
{
    const qsizetype at = args.indexOf(QStringLiteral("--format"));
    if (at < 0 || at + 1 >= args.size())
        return DefaultPath();
    const QString path = args.at(at + 1);
    args.remove(at, 2);
    return path;
}

QString Load(const QString& path, TFormat& format)
{
    QFile file(path);
    if (!file.open(QIODevice::ReadOnly))
        return QStringLiteral("cannot open the format description %1: %2").arg(path, file.errorString());
    const FormatLoader::Result result = FormatLoader::Load(file.readAll(), format);
    return result.Ok ? QString() : QStringLiteral("%1: %2").arg(path, result.Message);
}

bool LoadOrTell(const QString& path, TFormat& format, const char* program)
{
    const QString error = Load(path, format);
    if (!error.isEmpty())
        std::fprintf(stderr, "%s: %s\n", program, qPrintable(error));
    return error.isEmpty();
}

}  // namespace FormatFile
