#include "model/LocalSettle.h"

#include <QFile>

#include <filesystem>
#include <system_error>
#include <vector>

namespace fs = std::filesystem;

namespace {

fs::path native(const QString &path)
{
    return fs::path(QFile::encodeName(path).toStdString());
}

bool isRealFolder(const fs::path &path)
{
    std::error_code error;
    return fs::is_directory(fs::symlink_status(path, error));
}

std::error_code renameOver(const fs::path &from, const fs::path &to)
{
    std::error_code error;
    // A folder (or a link to one) would take the item inside it.
    if (fs::is_directory(fs::status(to, error)))
        return std::make_error_code(std::errc::is_a_directory);
    fs::rename(from, to, error);
    return error;
}

std::error_code merge(const fs::path &from, const fs::path &to)
{
    // The entries are read first: the folder changes as they are moved out of it.
    std::error_code error;
    std::vector<fs::path> sources;
    for (fs::directory_iterator entries(from, error); !error && entries != fs::directory_iterator();
         entries.increment(error))
        sources.push_back(entries->path());
    if (error)
        return error;
    for (const fs::path &source : sources) {
        const fs::path target = to / source.filename();
        const std::error_code step = isRealFolder(source) && isRealFolder(target)
            ? merge(source, target)
            : renameOver(source, target);
        if (step)
            return step;
    }
    fs::remove(from, error);
    return error;
}

} // namespace

std::optional<QString> settleLocal(const QString &temporary, const QString &destination)
{
    const fs::path from = native(temporary);
    const fs::path to = native(destination);
    const std::error_code error =
        isRealFolder(from) && isRealFolder(to) ? merge(from, to) : renameOver(from, to);
    if (!error)
        return std::nullopt;
    return QString::fromStdString(error.message());
}

void discardLocal(const QString &temporary)
{
    std::error_code error;
    fs::remove_all(native(temporary), error);
}
