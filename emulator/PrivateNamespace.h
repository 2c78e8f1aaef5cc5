#pragma once

#include <QString>

// Run as an ordinary user, the phone enters a user namespace of its own in which the calling
// user is root, with a mount namespace that belongs to it: there the phone mounts its capped
// storage and its shell commands build their sandboxes, while every file it writes still
// belongs to the calling user. Run as root, it stays where it was started.
//
// Must be called while the process has one thread (before the application object exists).
// Returns false with error set to one line: why, and how to switch user namespaces on.
bool enterPrivateNamespace(QString &error);

// Whether a shell command's sandbox can be made here: tries, in this process, what every
// command does first (a mount namespace of its own).
bool canMakeSandbox(QString &error);
