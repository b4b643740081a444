#pragma once

#include <QRegularExpression>
#include <QSet>
#include <QString>
#include <QVector>

// Name patterns joined by ";" ("*.mp3;*.wav"), where "*" and "?" are
// wildcards and letter case is ignored, as a file list matches them.
// "*.ext" patterns, the common case, are matched by a number made of the
// extension alone, so matching a name costs no allocation.
class FileNamePattern
{
public:
    explicit FileNamePattern(const QString &pattern = QString());

    // The pattern one "*.<suffix>" for each of these suffixes makes.
    static FileNamePattern ofSuffixes(const QStringList &suffixes);

    // The text it was made from.
    QString text() const { return m_text; }
    // Whether a file name matches any of the patterns.
    bool matches(const QString &fileName) const;
    // The same for a name as the file system gives its bytes; false where
    // only a wildcard could match, which the caller then checks on the
    // decoded name.
    bool matchesBySuffix(const char *name) const;
    // Whether any pattern needs more than a suffix to match.
    bool hasWildcards() const { return !m_wildcards.isEmpty(); }

private:
    QString m_text;
    QSet<quint64> m_extensions;
    QVector<QRegularExpression> m_wildcards;
};
