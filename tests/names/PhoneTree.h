#pragma once

#include <QByteArray>
#include <QMap>
#include <QString>
#include <QStringList>

// Everything below a folder of the computer (an emulated phone's storage, say), read
// without following links: relative path -> what is there ("dir", "link -> target" or the
// file's size and content hash). Names are kept as the bytes they are.
using TreeState = QMap<QByteArray, QByteArray>;

TreeState readTree(const QString &root);

// The paths that differ between two readings, one per line, for failure messages.
QString describeChanges(const TreeState &before, const TreeState &after);
