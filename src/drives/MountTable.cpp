#include "drives/MountTable.h"

#include <QHash>
#include <QSet>

namespace {

QString unescape(const QByteArray &field)
{
    QByteArray out;
    out.reserve(field.size());
    for (qsizetype i = 0; i < field.size(); ++i) {
        if (field.at(i) == '\\' && i + 3 < field.size()) {
            bool ok = false;
            const int code = field.mid(i + 1, 3).toInt(&ok, 8);
            if (ok && code < 256) {
                out.append(char(code));
                i += 3;
                continue;
            }
        }
        out.append(field.at(i));
    }
    return QString::fromUtf8(out);
}

} // namespace

namespace MountTable {

QList<MountEntry> parse(const QByteArray &mountInfo)
{
    QList<MountEntry> entries;
    for (const QByteArray &line : mountInfo.split('\n')) {
        const QList<QByteArray> fields = line.split(' ');
        // id parent major:minor root mountpoint options [optional...] - type source superoptions
        const qsizetype separator = fields.indexOf(QByteArray("-"), 6);
        if (separator < 6 || separator + 2 >= fields.size())
            continue;
        bool ok = false;
        MountEntry entry;
        entry.mountId = fields.at(0).toLongLong(&ok);
        if (!ok)
            continue;
        entry.deviceId = QString::fromLatin1(fields.at(2));
        entry.root = unescape(fields.at(3));
        entry.mountPoint = unescape(fields.at(4));
        entry.mountOptions = QString::fromLatin1(fields.at(5));
        entry.fsType = unescape(fields.at(separator + 1));
        entry.source = unescape(fields.at(separator + 2));
        if (separator + 3 < fields.size())
            entry.superOptions = QString::fromLatin1(fields.at(separator + 3));
        entries.append(entry);
    }
    return entries;
}

MountDiff diff(const QList<MountEntry> &before, const QList<MountEntry> &after)
{
    QHash<qint64, MountEntry> old;
    for (const MountEntry &entry : before)
        old.insert(entry.mountId, entry);
    QSet<qint64> present;
    MountDiff result;
    for (const MountEntry &entry : after) {
        present.insert(entry.mountId);
        const auto it = old.constFind(entry.mountId);
        if (it == old.constEnd())
            result.mounted.append(entry);
        else if (it->mountPoint != entry.mountPoint)
            result.renamed.append({it->mountPoint, entry.mountPoint});
        else if (it->mountOptions != entry.mountOptions || it->superOptions != entry.superOptions)
            result.remounted.append(entry);
    }
    for (const MountEntry &entry : before) {
        if (!present.contains(entry.mountId))
            result.unmounted.append(entry);
    }
    // An unmount and a mount of the same file system elsewhere, seen in one reading, is the
    // volume changing its mount point.
    for (qsizetype u = 0; u < result.unmounted.size();) {
        const MountEntry gone = result.unmounted.at(u);
        qsizetype match = -1;
        for (qsizetype m = 0; m < result.mounted.size(); ++m) {
            const MountEntry &added = result.mounted.at(m);
            if (added.deviceId == gone.deviceId && added.root == gone.root
                && added.mountPoint != gone.mountPoint) {
                match = m;
                break;
            }
        }
        if (match < 0) {
            ++u;
            continue;
        }
        result.renamed.append({gone.mountPoint, result.mounted.at(match).mountPoint});
        result.mounted.removeAt(match);
        result.unmounted.removeAt(u);
    }
    return result;
}

std::optional<MountEntry> topmost(const QList<MountEntry> &entries, const QString &mountPoint)
{
    for (auto entry = entries.crbegin(); entry != entries.crend(); ++entry) {
        if (entry->mountPoint == mountPoint)
            return *entry;
    }
    return std::nullopt;
}

} // namespace MountTable
