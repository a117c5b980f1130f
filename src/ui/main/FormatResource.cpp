#include "FormatResource.h"

#include "TUvoError.h"

#include <QFile>

// A resource compiled into a static library registers only when asked to; the
// request names a global function, so it cannot stand in a namespace.
static void RegisterResource()
{
#ifdef UVO_HAS_FORMAT_RESOURCE
    Q_INIT_RESOURCE(uvoformat);
#endif
}

QByteArray FormatResource::Read()
{
    RegisterResource();
    QFile file(QString::fromLatin1(Path));
    if (!file.open(QIODevice::ReadOnly))
        throw TUvoError(file.errorString());
    return file.readAll();
}
