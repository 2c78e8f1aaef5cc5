// One folder of the walk: whatever the phone prints, entries stay inside the folder and
// hidden names stay out; and whatever the physical path holds (line breaks, lines that
// look like a listing, even a "total" line), the entries are exactly those of the listing.
#include "FuzzInput.h"

#include "bridge/FolderWalk.h"

extern "C" int LLVMFuzzerTestOneInput(const uint8_t *data, size_t size)
{
    // Text that begins with "/" is taken as the whole output; other text as the physical
    // path (after its "/"), followed by a listing.
    const QString folder = QStringLiteral("/storage/emulated/0/DCIM");
    const QString text = inputText(data, size);
    if (text.startsWith(QLatin1Char('/'))) {
        const WalkedFolder walked = parseWalkedFolder(text, folder);
        require(!walked.identity.isEmpty(), "a folder always has an identity");
        for (const FileEntry &entry : walked.entries) {
            require(entry.path.startsWith(folder + QLatin1Char('/')), "entries lie inside the folder");
            require(!entry.name.startsWith(QLatin1Char('.')), "hidden names stay out");
        }
        return 0;
    }
    QString path = QLatin1Char('/') + text;
    const QString listing = QStringLiteral(
        "total 12\n"
        "-rw-r--r-- 1 root root 5 2024-05-01 13:45 a\\ b.jpg\n"
        "drwxr-xr-x 2 root root 4096 2024-05-01 13:45 two\\nlines\n"
        "-rw-r--r-- 1 root root 1 2024-05-01 13:45 .nomedia\n");
    const WalkedFolder walked = parseWalkedFolder(path + QLatin1Char('\n') + listing, folder);
    while (path.endsWith(QLatin1Char('\n')) || path.endsWith(QLatin1Char('\r')))
        path.chop(1);
    require(walked.identity == path, "the identity is the printed path");
    require(walked.entries.size() == 2 && walked.entries.at(0).path == folder + QStringLiteral("/a b.jpg")
                && walked.entries.at(1).path == folder + QStringLiteral("/two\nlines")
                && walked.entries.at(1).isDirectory,
            "the entries are those of the listing, whatever the path holds");
    return 0;
}
