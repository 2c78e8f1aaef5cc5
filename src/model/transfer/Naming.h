#pragma once

#include <QSet>
#include <QString>

// Replaces each of " * : < > ? \ | with "_", the characters the phone's storage refuses.
QString androidSafeName(const QString &name);

// The first of "base 2.ext", "base 3.ext", ... not in taken; never the plain name.
QString uniqueName(const QString &name, const QSet<QString> &taken);

// Drops one trailing "/" and maps the aliases of the internal storage to "/storage/emulated/0".
QString normalizedAndroid(const QString &path);
