#include "Content.h"

#include <QByteArray>
#include <QDir>
#include <QFile>
#include <QFileInfo>
#include <QRandomGenerator>

#include <stdexcept>

#include <unistd.h>

namespace {

void fail(const QString &what, const QString &path)
{
    throw std::runtime_error(QStringLiteral("cannot %1 %2").arg(what, path).toStdString());
}

} // namespace

void writeBigFile(const QString &path, qint64 size)
{
    QDir().mkpath(QFileInfo(path).path());
    QFile file(path);
    if (!file.open(QIODevice::WriteOnly | QIODevice::Truncate))
        fail(QStringLiteral("write"), path);
    QByteArray block(1 << 20, Qt::Uninitialized);
    QRandomGenerator generator(20261210);
    for (qint64 left = size; left > 0; left -= block.size()) {
        generator.fillRange(reinterpret_cast<quint32 *>(block.data()), block.size() / sizeof(quint32));
        if (file.write(block.constData(), std::min<qint64>(left, block.size())) < 0)
            fail(QStringLiteral("write"), path);
    }
}

void writeFiles(const QString &folder, int count, qint64 size, const QString &prefix,
                const QString &suffix)
{
    if (!QDir().mkpath(folder))
        fail(QStringLiteral("create"), folder);
    const QByteArray content(size, 'p');
    for (int i = 1; i <= count; ++i) {
        const QString path = QStringLiteral("%1/%2%3%4").arg(folder, prefix).arg(i, 6, 10, QLatin1Char('0')).arg(suffix);
        QFile file(path);
        if (!file.open(QIODevice::WriteOnly) || file.write(content) != size)
            fail(QStringLiteral("write"), path);
    }
}

void writeBackToDisk()
{
    ::sync();
}

void removePath(const QString &path)
{
    const QFileInfo info(path);
    if (info.isDir() && !info.isSymLink())
        QDir(path).removeRecursively();
    else if (info.exists() || info.isSymLink())
        QFile::remove(path);
}
