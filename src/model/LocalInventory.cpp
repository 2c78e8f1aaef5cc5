#include "model/LocalInventory.h"

#include <QFile>

#include <filesystem>
#include <system_error>

namespace fs = std::filesystem;

namespace {

QString fromNative(const fs::path &path)
{
    return QFile::decodeName(QByteArray::fromStdString(path.native()));
}

void walk(const fs::path &folder, const QString &relative, FileInventory &inventory)
{
    std::error_code error;
    fs::directory_iterator entries(folder, error);
    for (; !error && entries != fs::directory_iterator(); entries.increment(error)) {
        const fs::directory_entry &entry = *entries;
        const QString path = relative + QLatin1Char('/') + fromNative(entry.path().filename());
        const fs::file_status status = entry.symlink_status(error);
        if (error)
            break;
        if (fs::is_directory(status)) {
            walk(entry.path(), path, inventory);
        } else if (fs::is_regular_file(status)) {
            const auto size = entry.file_size(error);
            if (error)
                break;
            inventory.files.insert(path, qint64(size));
        }
    }
    if (error)
        inventory.unreadable.append(fromNative(folder));
}

} // namespace

FileInventory localInventory(const QString &root)
{
    FileInventory inventory;
    const fs::path start(QFile::encodeName(root).toStdString());
    std::error_code error;
    // The root itself is followed when it is a link, as adb does.
    const fs::file_status status = fs::status(start, error);
    if (error)
        return inventory;
    if (fs::is_regular_file(status)) {
        const auto size = fs::file_size(start, error);
        if (error)
            return inventory;
        inventory.files.insert(QString(), qint64(size));
    } else if (fs::is_directory(status)) {
        walk(start, QString(), inventory);
    }
    inventory.complete = inventory.unreadable.isEmpty();
    return inventory;
}
