// The play-list text reader takes whatever bytes a file holds. Beyond not
// crashing, every entry it returns that Save List can write must come back
// unchanged through a save and a load, and through Generate's line reading.

#include "fuzz/FuzzCheck.h"
#include "playlist/PlayListText.h"

#include <QStringList>

extern "C" int LLVMFuzzerTestOneInput(const uint8_t *data, size_t size)
{
    const QStringList entries = PlayListText::read(fuzzBytes(data, size));

    QStringList writable;
    for (const QString &entry : entries) {
        fuzzCheck(!entry.contains(u'\n') && !entry.contains(u'\r'),
                  "an entry never holds a line break", entry);
        // A lone surrogate has no UTF-8 form, so it cannot survive a save.
        if (PlayListText::firstUnwritable({entry}) < 0 && entry.isValidUtf16())
            writable << entry;
    }

    const QByteArray saved = PlayListText::write(writable);
    const QStringList loaded = PlayListText::read(saved);
    fuzzCheck(loaded == writable, "a saved list loads back unchanged",
              writable.join(u'\n') + QStringLiteral("\n--- loaded as ---\n") + loaded.join(u'\n'));

    const QStringList lines = QString::fromUtf8(saved).split(QStringLiteral("\r\n"));
    for (qsizetype i = 0; i < writable.size(); ++i)
        fuzzCheck(PlayListText::linePath(lines.at(i)) == writable.at(i),
                  "Generate reads the path a saved line holds", lines.at(i));
    return 0;
}
