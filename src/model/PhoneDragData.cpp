#include "model/PhoneDragData.h"

#include "model/AppModel.h"

#include <QCoro/QCoroTask>

namespace {

const QString uriList = QStringLiteral("text/uri-list");

// The pulled copy's path, or an empty one when the pull failed. QCoro::waitFor never returns
// when the awaited task throws, so nothing may escape this task.
QCoro::Task<QString> pulledOrEmpty(AppModel *model, QString remote)
{
    try {
        co_return co_await model->pullForDrag(remote);
    } catch (...) {
        co_return QString();
    }
}

} // namespace

PhoneDragData::PhoneDragData(QPointer<AppModel> model, QString remote)
    : m_model(std::move(model)), m_remote(std::move(remote))
{
}

QStringList PhoneDragData::formats() const
{
    QStringList result = QMimeData::formats();
    if (!result.contains(uriList))
        result.append(uriList);
    return result;
}

bool PhoneDragData::hasFormat(const QString &mimeType) const
{
    return mimeType == uriList || QMimeData::hasFormat(mimeType);
}

QVariant PhoneDragData::retrieveData(const QString &mimeType, QMetaType type) const
{
    if (mimeType != uriList)
        return QMimeData::retrieveData(mimeType, type);
    if (!m_file) {
        // A model that is gone ("App closed") or a failed pull gives the receiver no file;
        // the pull's own row tells the user why.
        m_file = QUrl();
        if (m_model) {
            const QString local = QCoro::waitFor(pulledOrEmpty(m_model.data(), m_remote));
            if (!local.isEmpty())
                m_file = QUrl::fromLocalFile(local);
        }
    }
    if (m_file->isEmpty())
        return {};
    return QVariantList{QVariant(*m_file)};
}
