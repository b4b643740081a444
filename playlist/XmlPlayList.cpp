#include "playlist/XmlPlayList.h"

XmlPlayListResult readXmlPlayList(const QString &)
{
    XmlPlayListResult result;
    result.error = QStringLiteral("not implemented yet");
    return result;
}

bool isXmlPlayList(const QString &path)
{
    const QString lower = path.toLower();
    return lower.endsWith(QLatin1String(".wpl")) || lower.endsWith(QLatin1String(".asx")) ||
           lower.endsWith(QLatin1String(".wvx")) || lower.endsWith(QLatin1String(".wmx"));
}
