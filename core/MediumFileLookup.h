#pragma once

#include <QCoreApplication>
#include <QString>
#include <utility>
#include <vector>

// Which local entries of a play list name no medium file: missing, a folder,
// a pipe or a device. Entries that share a folder are looked up in one read
// of it, so a list of a hundred thousand files in a few folders costs a few
// folder reads, not a hundred thousand lookups. It may wait on the file
// system: call it off the GUI thread.
class MediumFileLookup
{
    Q_DECLARE_TR_FUNCTIONS(MediumFileLookup)
public:
    // Absolute paths by an id of the caller's; or ids with the reason.
    using Entries = std::vector<std::pair<qint64, QString>>;

    // Fewer entries than this in a folder are looked up one by one.
    static constexpr int folderReadFrom = 32;

    // The entries that are no medium file, each with why; in no set order.
    static Entries noMediumFiles(const Entries &paths);
};
