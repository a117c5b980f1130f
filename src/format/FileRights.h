#pragma once

#include <QByteArray>

// Whether the process may write an existing file by the file's own rights.
// A file without any write permission was made read-only on purpose: it is
// read-only to root as well, although the system would let root write it.
namespace FileRights {

bool MayWrite(const QByteArray& nativePath);

}  // namespace FileRights
