#include "engine/HelperFiles.h"

#include <QCoreApplication>
#include <QDir>
#include <QFileInfo>
#include <QStringList>

QString helperFilePath(const QString &name)
{
    QStringList folders;
    const QString fromEnvironment = qEnvironmentVariable("CORVEL_HELPER_DIR");
    if (!fromEnvironment.isEmpty())
        folders << fromEnvironment;
    const QString programDir = QCoreApplication::applicationDirPath();
    const QString installed = QDir::cleanPath(programDir + QLatin1Char('/') +
                                              QStringLiteral(CORVEL_HELPERS_FROM_PROGRAM));
    folders << programDir << installed;
    for (const QString &folder : std::as_const(folders)) {
        const QString candidate = folder + QLatin1Char('/') + name;
        if (QFileInfo::exists(candidate))
            return candidate;
    }
    return installed + QLatin1Char('/') + name;
}
