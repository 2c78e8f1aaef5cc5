#include "bridge/ProcessIoFile.h"

#include <QByteArray>

#include <fcntl.h>
#include <unistd.h>

namespace {

std::optional<ProcessIo> readFrom(const QByteArray &path)
{
    // Plain calls instead of QFile: this runs several times a second while a copy lasts.
    const int fd = ::open(path.constData(), O_RDONLY | O_CLOEXEC);
    if (fd < 0)
        return std::nullopt;
    char buffer[512];
    const ssize_t length = ::read(fd, buffer, sizeof buffer);
    ::close(fd);
    if (length <= 0)
        return std::nullopt;
    return parseProcessIo(QByteArrayView(buffer, length));
}

} // namespace

std::optional<ProcessIo> readProcessIo(qint64 pid)
{
    if (pid <= 0)
        return std::nullopt;
    return readFrom("/proc/" + QByteArray::number(pid) + "/io");
}

bool processIoReadable()
{
    static const bool readable = readFrom(QByteArrayLiteral("/proc/self/io")).has_value();
    return readable;
}
