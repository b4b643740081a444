#include "core/ShortText.h"

#include <QStringList>

namespace {

QString shortened(QStringView part, qsizetype longest)
{
    static const QString cut = QStringLiteral("...");
    const qsizetype head = (longest - cut.size()) / 2;
    return part.left(head).toString() + cut + part.right(longest - cut.size() - head).toString();
}

} // namespace

QString ShortText::lines(const QString &text)
{
    if (text.size() <= longestWord)
        return text;
    QString words;
    const qsizetype size = text.size();
    for (qsizetype start = 0, end = 0; start < size; start = end) {
        const bool blank = text[start].isSpace();
        while (end < size && text[end].isSpace() == blank)
            ++end;
        const QStringView run = QStringView(text).mid(start, end - start);
        if (!blank && run.size() > longestWord)
            words += shortened(run, longestWord);
        else
            words += run;
    }
    if (words.size() <= longestLine)
        return words;
    QStringList all;
    for (const QStringView line : QStringView(words).split(u'\n'))
        all << (line.size() <= longestLine ? line.toString() : shortened(line, longestLine));
    return all.join(u'\n');
}
