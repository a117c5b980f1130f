#pragma once

#include <QString>
#include <QStringList>

class TFormat;

// The format description text used by the benchmark programs: the project's
// own text by default, another one with "--format PATH".
namespace FormatFile {

QString DefaultPath();

// Takes "--format PATH" out of the arguments and answers PATH, or the default.
QString TakePathOption(QStringList& args);

// Loads the text at the path into an empty format; answers why it failed, or
// an empty text.
QString Load(const QString& path, TFormat& format);
// The same for a program's start: a failure is told on standard error after
// the program's name, and false answered.
bool LoadOrTell(const QString& path, TFormat& format, const char* program);

}  // namespace FormatFile
