#pragma once

#include <QString>

// A size-capped internal storage: a tmpfs of the given size mounted over the storage folder
// (its existing contents copied in), so that the phone runs out of space for real and `df`
// reports the cap. Unmounted when destroyed; the contents go with it.
class CappedStorage {
public:
    CappedStorage() = default;
    ~CappedStorage();
    CappedStorage(const CappedStorage &) = delete;
    CappedStorage &operator=(const CappedStorage &) = delete;

    // staging is an empty folder the tmpfs is filled in before it takes the folder's place.
    bool mount(const QString &folder, int megabytes, const QString &staging, QString &error);

private:
    QString m_folder;
};
