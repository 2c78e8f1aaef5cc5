#pragma once

#include <QMetaType>
#include <QStringList>

// A move waiting for the user's confirmation. destDir is the phone folder when toPhone,
// otherwise the local folder, both taken when the request was made.
struct MoveRequest
{
    QStringList paths;
    bool toPhone = false;
    QString destDir;

    bool operator==(const MoveRequest &) const = default;
};

Q_DECLARE_METATYPE(MoveRequest)
