#pragma once

#include <QString>

// Path arithmetic on phone paths: plain text, "/" separated, always absolute.

// `name` inside `folder`, joined by exactly one "/"; the name is used exactly as given.
QString phoneChildPath(const QString &folder, const QString &name);

// `path` without its last component ("/storage/emulated/0/DCIM" gives
// "/storage/emulated/0"); "/" when nothing is left.
QString phoneParentPath(const QString &path);
