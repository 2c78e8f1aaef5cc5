#pragma once

#include <QString>
#include <QStringList>

// The APKs named on Tessary's command line ("Open With Tessary" passes their paths): every
// argument after the program's name whose name ends in ".apk" in any case, given as a path
// or a file URL (other URLs are not files), made absolute against `workingFolder`, in
// order. Options and other files are not installed.
QStringList apksToInstall(const QStringList &arguments, const QString &workingFolder);
