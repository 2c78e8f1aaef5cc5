#include "model/PhoneDragData.h"

#include "model/AppModel.h"

#include <QCoro/QCoroTask>

namespace {

const QString uriList = QStringLiteral("text/uri-list");

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
            try {
                m_file = QUrl::fromLocalFile(QCoro::waitFor(m_model->pullForDrag(m_remote)));
            } catch (...) {
                m_file = QUrl();
            }
        }
    }
    if (m_file->isEmpty())
        return {};
    return QVariantList{QVariant(*m_file)};
}
