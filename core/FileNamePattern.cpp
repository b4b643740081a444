#include "core/FileNamePattern.h"

#include <QStringList>

namespace {

unsigned codeOf(QChar c)
{
    return c.unicode();
}
unsigned codeOf(char c)
{
    return static_cast<unsigned char>(c);
}

// An extension of up to eight ASCII characters, lower-cased and packed into
// one number. Works on UTF-16 names and on the raw bytes a folder gives
// (ASCII is the same in UTF-8).
template <class Char> bool extensionKey(const Char *begin, const Char *end, quint64 &key)
{
    if (begin == end || end - begin > 8)
        return false;
    key = 0;
    for (const Char *c = begin; c != end; ++c) {
        const unsigned code = codeOf(*c);
        if (code == 0 || code > 127 || code == '*' || code == '?' || code == '[' || code == '.')
            return false;
        key = (key << 8) | ((code >= 'A' && code <= 'Z') ? code + 32 : code);
    }
    return true;
}

template <class Char> bool nameKey(const Char *name, qsizetype length, quint64 &key)
{
    for (qsizetype dot = length - 1; dot >= 0; --dot)
        if (codeOf(name[dot]) == '.')
            return extensionKey(name + dot + 1, name + length, key);
    return false;
}

} // namespace

FileNamePattern::FileNamePattern(const QString &pattern) : m_text(pattern)
{
    for (const QString &part : pattern.split(QLatin1Char(';'), Qt::SkipEmptyParts)) {
        const QString p = part.trimmed();
        quint64 key = 0;
        if (p.isEmpty())
            continue;
        if (p.startsWith(QLatin1String("*.")) &&
            extensionKey(p.constData() + 2, p.constData() + p.size(), key))
            m_extensions.insert(key);
        else
            m_wildcards << QRegularExpression(QRegularExpression::wildcardToRegularExpression(p),
                                              QRegularExpression::CaseInsensitiveOption);
    }
}

FileNamePattern FileNamePattern::ofSuffixes(const QStringList &suffixes)
{
    QStringList patterns;
    for (const QString &suffix : suffixes)
        patterns << QStringLiteral("*.") + suffix;
    return FileNamePattern(patterns.join(u';'));
}

bool FileNamePattern::matches(const QString &fileName) const
{
    quint64 key = 0;
    if (nameKey(fileName.constData(), fileName.size(), key) && m_extensions.contains(key))
        return true;
    for (const QRegularExpression &wildcard : m_wildcards)
        if (wildcard.match(fileName).hasMatch())
            return true;
    return false;
}

bool FileNamePattern::matchesBySuffix(const char *name) const
{
    quint64 key = 0;
    return nameKey(name, qsizetype(qstrlen(name)), key) && m_extensions.contains(key);
}
