#pragma once

#include <QString>

// The hidden name a copy is written under beside its destination until it is complete:
// "." + name + ".tessary-" + tag, with the name shortened (never inside a character) so that
// the whole stays within the 255 bytes a file name may have.
QString temporaryName(const QString &name, const QString &tag);

// `destination`'s folder joined with the temporary name of its last component.
QString temporaryPath(const QString &destination, const QString &tag);
