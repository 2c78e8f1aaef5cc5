#pragma once

#include <QMimeData>
#include <QPointer>
#include <QUrl>

#include <memory>
#include <optional>

class AppModel;

// The drag payload of a phone row. Besides the private paths it offers the row as a file
// (text/uri-list) to whoever drops it; the file is pulled from the phone once, when a drop
// asks for that data, while the asking code waits.
class PhoneDragData : public QMimeData
{
    Q_OBJECT

public:
    PhoneDragData(QPointer<AppModel> model, QString remote);

    QStringList formats() const override;
    bool hasFormat(const QString &mimeType) const override;

protected:
    QVariant retrieveData(const QString &mimeType, QMetaType type) const override;

private:
    // The one pull of the row, shared with a request that waits for it: the wait may outlive
    // this object.
    struct Pull
    {
        bool running = false;
        // The pulled copy once the pull ran; an empty URL when it failed.
        std::optional<QUrl> file;
    };

    QPointer<AppModel> m_model;
    QString m_remote;
    std::shared_ptr<Pull> m_pull = std::make_shared<Pull>();
};
