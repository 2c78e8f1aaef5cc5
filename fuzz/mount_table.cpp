// /proc/self/mountinfo, any bytes: the parse and the comparison of two readings hold
// together; and a mount point the kernel escapes (blank, tab, line feed, backslash as
// three octal digits) reads back as it is, whatever bytes it holds.
#include "FuzzInput.h"

#include "drives/MountTable.h"

#include <QSet>

namespace {

QByteArray escapeLikeKernel(const QByteArray &path)
{
    QByteArray out;
    for (const char c : path) {
        if (c == ' ' || c == '\t' || c == '\n' || c == '\\')
            out += '\\' + QByteArray::number(static_cast<unsigned char>(c), 8).rightJustified(3, '0');
        else
            out += c;
    }
    return out;
}

}

extern "C" int LLVMFuzzerTestOneInput(const uint8_t *data, size_t size)
{
    const QByteArray bytes = inputBytes(data, size);
    const QList<MountEntry> all = MountTable::parse(bytes);
    require(all.size() <= bytes.count('\n') + 1, "at most one entry per line");
    QSet<qint64> ids;
    for (const MountEntry &entry : all)
        ids.insert(entry.mountId);
    // The kernel gives every mount its own id.
    if (ids.size() == all.size())
        require(MountTable::diff(all, all).isEmpty(), "a reading does not differ from itself");

    const qsizetype half = bytes.indexOf('\n', bytes.size() / 2);
    const QList<MountEntry> before = MountTable::parse(half < 0 ? bytes : bytes.left(half));
    const QList<MountEntry> after = MountTable::parse(half < 0 ? QByteArray() : bytes.mid(half + 1));
    const MountDiff diff = MountTable::diff(before, after);
    for (const MountEntry &entry : diff.mounted)
        require(after.contains(entry), "what was mounted is in the new reading");
    for (const MountEntry &entry : diff.unmounted)
        require(before.contains(entry), "what was unmounted is in the old reading");
    require(diff.mounted.size() + diff.renamed.size() + diff.remounted.size() <= after.size(),
            "each new entry counts once");

    if (bytes.contains('\0'))
        return 0;
    const QByteArray line = "36 35 98:0 /mnt1 " + escapeLikeKernel(bytes)
                            + " rw,noatime master:1 - ext3 /dev/root rw,errors=continue\n";
    const QList<MountEntry> one = MountTable::parse(line);
    require(one.size() == 1 && one.first().mountPoint == QString::fromUtf8(bytes),
            "an escaped mount point reads back as it is");
    return 0;
}
