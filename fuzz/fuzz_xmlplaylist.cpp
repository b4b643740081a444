// The Windows Media and ASX play-list reader takes files from anywhere.
// Beyond not crashing or running away, what it returns must keep its
// promises: no entries beside an error, and every entry either an absolute
// local path or a URL of an allowed network scheme.

#include "core/MediaSource.h"
#include "core/XmlPlayList.h"
#include "fuzz/FuzzCheck.h"

#include <QUrl>

extern "C" int LLVMFuzzerTestOneInput(const uint8_t *data, size_t size)
{
    // A folder that does not exist: relative entries resolve against it
    // without depending on the machine.
    const XmlPlayListResult result =
        readXmlPlayListData(fuzzBytes(data, size), QStringLiteral("/nonexistent/lists"));

    if (!result.error.isEmpty()) {
        fuzzCheck(result.entries.isEmpty() && result.skipped.isEmpty(),
                  "a file that cannot be read gives no entries", result.error);
        return 0;
    }
    for (const QString &entry : result.entries) {
        fuzzCheck(!entry.isEmpty(), "no entry is empty");
        fuzzCheck(!entry.contains(QChar(0)), "no entry holds a NUL character", entry);
        if (entry.startsWith(u'/'))
            continue;
        const QUrl url(entry);
        fuzzCheck(MediaSource::networkSchemes().contains(url.scheme().toLower()) &&
                      !url.host().isEmpty(),
                  "an entry is an absolute path or a network URL with a host", entry);
    }
    return 0;
}
