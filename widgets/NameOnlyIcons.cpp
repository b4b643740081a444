#include "widgets/NameOnlyIcons.h"

#include <QFileInfo>

QIcon NameOnlyIcons::icon(const QFileInfo &info) const
{
    if (info.isRoot())
        return icon(Drive);
    if (info.isDir())
        return icon(Folder);
    const QMimeType mime = m_types.mimeTypeForFile(info, QMimeDatabase::MatchExtension);
    QIcon themed = QIcon::fromTheme(mime.iconName());
    if (themed.isNull())
        themed = QIcon::fromTheme(mime.genericIconName());
    return themed.isNull() ? icon(File) : themed;
}

QString NameOnlyIcons::type(const QFileInfo &info) const
{
    if (info.isDir())
        return QFileIconProvider::type(info);
    return m_types.mimeTypeForFile(info, QMimeDatabase::MatchExtension).comment();
}
