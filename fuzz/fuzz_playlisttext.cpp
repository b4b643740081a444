// The play-list text reader takes whatever bytes a file holds. Beyond not
// crashing, every entry it returns that Save List can write must come back
// unchanged through a save and a load, and through Generate's line reading.
// Generate, which copies a UTF-8 list by its bytes and decodes any other,
// must write the same document for the same text in UTF-16.

#include "core/PlayListText.h"
#include "core/TextDecoding.h"
#include "core/WplWriter.h"
#include "fuzz/FuzzCheck.h"

#include <QStringEncoder>
#include <QStringList>

namespace {

QByteArray generated(const QByteArray &saved)
{
    const WplWriter::Document document = WplWriter::generate("<head>\n", saved, "<tail>\n");
    return document.error.isEmpty() ? document.bytes
                                    : QByteArray("refused: ") + document.error.toUtf8();
}

} // namespace

extern "C" int LLVMFuzzerTestOneInput(const uint8_t *data, size_t size)
{
    const QByteArray bytes = fuzzBytes(data, size);
    const QStringList entries = PlayListText::read(bytes);

    // A second byte-order mark would be taken for the first one in UTF-16.
    const QString text = TextDecoding::decode(bytes);
    if (!text.startsWith(QChar(0xFEFF))) {
        QStringEncoder utf16(QStringEncoder::Utf16LE);
        const QByteArray asUtf16 = QByteArray("\xFF\xFE") + QByteArray(utf16.encode(text));
        fuzzCheck(generated(bytes) == generated(asUtf16),
                  "Generate writes the same for the same text in any encoding", text);
    }

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
