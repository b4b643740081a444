#pragma once

#include <QList>
#include <QString>
#include <QStringList>

// A file dialog's filter text, "description|pattern|description|pattern|...",
// read into its pairs and turned into the name filters that QFileDialog takes.
class FilterText
{
public:
    // One file type the dialog offers.
    struct Pair
    {
        // As the text gives it, with each line break made a blank.
        QString description;
        // The name patterns, without blanks, in the order the text gives them;
        // "*" when the text gives none.
        QStringList patterns;
    };

    explicit FilterText(const QString &text);

    // The pairs in the order of the text. A text without "|" is one pair whose
    // description and pattern are the text itself; an empty text has none.
    const QList<Pair> &pairs() const { return m_pairs; }

    // One name filter a pair: the description as the user reads it, then the
    // patterns in parentheses, where QFileDialog looks for them.
    QStringList nameFilters() const;

    // The name filter of one pair.
    static QString nameFilter(const Pair &pair);

private:
    QList<Pair> m_pairs;
};
