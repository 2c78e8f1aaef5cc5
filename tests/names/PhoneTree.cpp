#include "PhoneTree.h"

#include <QCryptographicHash>
#include <QFile>

#include <dirent.h>
#include <sys/stat.h>
#include <unistd.h>

namespace {

// Walks with the raw bytes of every name: a name that is not UTF-8 must be seen too.
void walk(const QByteArray &root, const QByteArray &relative, TreeState &state)
{
    DIR *dir = opendir((root + relative).constData());
    if (!dir)
        return;
    while (const dirent *entry = readdir(dir)) {
        const QByteArray name(entry->d_name);
        if (name == "." || name == "..")
            continue;
        const QByteArray path = relative + '/' + name;
        const QByteArray full = root + path;
        struct stat info {};
        if (lstat(full.constData(), &info) != 0)
            continue;
        if (S_ISLNK(info.st_mode)) {
            QByteArray target(4096, '\0');
            const ssize_t length = readlink(full.constData(), target.data(), target.size());
            state.insert(path, "link -> " + target.left(qMax<ssize_t>(length, 0)));
        } else if (S_ISDIR(info.st_mode)) {
            state.insert(path, "dir");
            walk(root, path, state);
        } else {
            QFile file(QFile::decodeName(full));
            QByteArray hash;
            if (file.open(QIODevice::ReadOnly))
                hash = QCryptographicHash::hash(file.readAll(), QCryptographicHash::Sha1).toHex();
            state.insert(path, QByteArray::number(qint64(info.st_size)) + ' ' + hash);
        }
    }
    closedir(dir);
}

} // namespace

TreeState readTree(const QString &root)
{
    TreeState state;
    walk(QFile::encodeName(root), QByteArray(), state);
    return state;
}

QString describeChanges(const TreeState &before, const TreeState &after)
{
    QStringList lines;
    for (auto it = before.cbegin(); it != before.cend(); ++it) {
        if (!after.contains(it.key()))
            lines << QStringLiteral("gone: ") + QString::fromUtf8(it.key().toPercentEncoding("/ "));
        else if (after.value(it.key()) != it.value())
            lines << QStringLiteral("changed: ") + QString::fromUtf8(it.key().toPercentEncoding("/ "));
    }
    for (auto it = after.cbegin(); it != after.cend(); ++it) {
        if (!before.contains(it.key()))
            lines << QStringLiteral("new: ") + QString::fromUtf8(it.key().toPercentEncoding("/ "));
    }
    return lines.join(QLatin1Char('\n'));
}
