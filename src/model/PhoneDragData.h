#pragma once

#include <QMimeData>
#include <QPointer>
#include <QUrl>

#include <optional>

class AppModel;

// The drag payload of a phone row. Besides the private paths it offers the row as a file
// (text/uri-list) to whoever drops it; the file is pulled from the phone only when the drop
// asks for that data, once, while the asking code waits.
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
    QPointer<AppModel> m_model;
    QString m_remote;
    // The pulled copy, once the pull ran (an empty URL when it failed).
    mutable std::optional<QUrl> m_file;
};
