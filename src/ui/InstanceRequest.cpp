#include "ui/InstanceRequest.h"

#include <QDir>
#include <QUrl>

namespace InstanceRequest {

namespace {
const QByteArray kShow = QByteArrayLiteral("show");
}

QByteArray encode(const QStringList &apks)
{
    QByteArray line = kShow;
    for (const QString &apk : apks)
        line += ' ' + QUrl::fromLocalFile(apk).toEncoded();
    return line + '\n';
}

std::optional<QStringList> decode(const QByteArray &line)
{
    const QList<QByteArray> items = line.split(' ');
    if (items.first() != kShow)
        return std::nullopt;
    QStringList apks;
    for (qsizetype i = 1; i < items.size(); ++i) {
        const QUrl url = QUrl::fromEncoded(items[i], QUrl::StrictMode);
        if (!url.isValid() || !url.isLocalFile() || !QDir::isAbsolutePath(url.toLocalFile()))
            return std::nullopt;
        apks << url.toLocalFile();
    }
    return apks;
}

} // namespace InstanceRequest
