#pragma once

#include <QString>

// The sentence that tells why an operation on one item failed, the same on the computer and
// on the phone: "Couldn't " + action + " “" + name + "”: " + reason + "."
// e.g. "Couldn't rename “old.txt”: File exists."
QString failureSentence(const QString &action, const QString &name, const QString &reason);
