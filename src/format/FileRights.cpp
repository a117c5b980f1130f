#include "FileRights.h"

#include <fcntl.h>
#include <sys/stat.h>
#include <unistd.h>

namespace FileRights {

bool MayWrite(const QByteArray& nativePath)
{
    if (::faccessat(AT_FDCWD, nativePath.constData(), W_OK, AT_EACCESS) != 0)
        return false;
    if (::geteuid() != 0)
        return true;
    struct stat st {};
    return ::stat(nativePath.constData(), &st) == 0 && (st.st_mode & (S_IWUSR | S_IWGRP | S_IWOTH)) != 0;
}

}  // namespace FileRights
