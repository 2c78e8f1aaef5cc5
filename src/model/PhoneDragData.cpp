#include "model/PhoneDragData.h"

#include "model/AppModel.h"

#include <QGuiApplication>

#include <QCoro/QCoroTask>

namespace {

const QString uriList = QStringLiteral("text/uri-list");

// The pulled copy's path, or an empty one when the pull failed. QCoro::waitFor never returns
// when the awaited task throws, so nothing may escape this task.
QCoro::Task<QString> pulledOrEmpty(QPointer<AppModel> model, QString remote)
{
    if (!model)
        co_return QString();
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
    // While a button is held the drag still hovers: a receiver that looks at the data to
    // decide whether it takes the drop gets no file, and nothing is pulled for it.
    if (QGuiApplication::mouseButtons() != Qt::NoButton)
        return {};
    const std::shared_ptr<Pull> pull = m_pull;
    // A request that comes while the pull runs (the waiting code's event loop delivers it)
    // gets no file rather than a second pull.
    if (!pull->file && !pull->running) {
        pull->running = true;
        // The wait runs an event loop, in which the drag may end and Qt delete this object:
        // from here on only what is held on this stack is used.
        const QString local = QCoro::waitFor(pulledOrEmpty(m_model, m_remote));
        pull->running = false;
        // A model that is gone ("App closed") or a failed pull gives the receiver no file;
        // the pull's own row tells the user why.
        pull->file = local.isEmpty() ? QUrl() : QUrl::fromLocalFile(local);
    }
    if (!pull->file || pull->file->isEmpty())
        return {};
    return QVariantList{QVariant(*pull->file)};
}
