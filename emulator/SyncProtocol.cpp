#include "SyncProtocol.h"

#include <QtEndian>

namespace SyncProtocol {

namespace {

void put32(QByteArray &out, quint32 value)
{
    char bytes[4];
    qToLittleEndian<quint32>(value, bytes);
    out.append(bytes, 4);
}

void put64(QByteArray &out, quint64 value)
{
    char bytes[8];
    qToLittleEndian<quint64>(value, bytes);
    out.append(bytes, 8);
}

// The stat_v2 body after id and error: dev, ino, mode, nlink, uid, gid, size, atime, mtime, ctime.
void putStatV2(QByteArray &out, const struct stat *st)
{
    struct stat zero = {};
    if (!st)
        st = &zero;
    put64(out, st->st_dev);
    put64(out, st->st_ino);
    put32(out, st->st_mode);
    put32(out, quint32(st->st_nlink));
    put32(out, st->st_uid);
    put32(out, st->st_gid);
    put64(out, quint64(st->st_size));
    put64(out, quint64(st->st_atim.tv_sec));
    put64(out, quint64(st->st_mtim.tv_sec));
    put64(out, quint64(st->st_ctim.tv_sec));
}

}

QByteArray header(quint32 id, quint32 length)
{
    QByteArray out;
    put32(out, id);
    put32(out, length);
    return out;
}

QByteArray statV1(const struct stat *st)
{
    QByteArray out;
    put32(out, Stat);
    put32(out, st ? st->st_mode : 0);
    put32(out, st ? quint32(st->st_size) : 0);
    put32(out, st ? quint32(st->st_mtim.tv_sec) : 0);
    return out;
}

QByteArray statV2(quint32 requestId, int error, const struct stat *st)
{
    QByteArray out;
    put32(out, requestId);
    put32(out, quint32(error));
    putStatV2(out, error ? nullptr : st);
    return out;
}

QByteArray dentV1(const struct stat &st, const QByteArray &name)
{
    QByteArray out;
    put32(out, Dent);
    put32(out, st.st_mode);
    put32(out, quint32(st.st_size));
    put32(out, quint32(st.st_mtim.tv_sec));
    put32(out, quint32(name.size()));
    return out + name;
}

QByteArray dentV2(const struct stat &st, int error, const QByteArray &name)
{
    QByteArray out;
    put32(out, Dent2);
    put32(out, quint32(error));
    putStatV2(out, error ? nullptr : &st);
    put32(out, quint32(name.size()));
    return out + name;
}

QByteArray listDone(bool v2)
{
    QByteArray out;
    put32(out, Done);
    out.append(v2 ? 72 : 16, '\0');
    return out;
}

QByteArray done()
{
    return header(Done, 0);
}

QByteArray okay()
{
    return header(Okay, 0);
}

QByteArray fail(const QByteArray &message)
{
    return header(Fail, quint32(message.size())) + message;
}

}
