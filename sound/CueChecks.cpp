#include "CueChecks.h"

#include <QFileInfo>

bool endsInWav(const QString &path)
{
    return path.right(3).toUpper() == QLatin1String("WAV");
}

bool isOrdinaryFile(const QString &path)
{
    // A path the file system cannot even name counts as missing.
    if (path.contains(QChar(u'\0')))
        return false;
    const QFileInfo info(path);
    return info.isFile() && !info.isHidden();
}
