#pragma once

#include <QHashFunctions>
#include <QMetaType>
#include <QString>

// One storage volume of the phone. Identity is `path`.
struct StorageVolume
{
    QString name;          // "Internal storage", "SD card" or "SD card / USB n"
    QString path;          // "/storage/emulated/0" or "/storage/<folder>"
    qint64 total = 0;      // bytes; 0 when not measured
    qint64 free = 0;       // bytes available; 0 when not measured
    bool isInternal = false;

    bool operator==(const StorageVolume &) const = default;
};

inline size_t qHash(const StorageVolume &v, size_t seed = 0)
{
    return qHashMulti(seed, v.name, v.path, v.total, v.free, v.isInternal);
}

Q_DECLARE_METATYPE(StorageVolume)
