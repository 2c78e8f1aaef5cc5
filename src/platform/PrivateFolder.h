#pragma once

#include <QString>

// A folder that belongs to the user running Tessary alone: a real folder (never a link),
// owned by this user, that nobody else may enter. One that is not is refused as it is,
// never repaired and never followed, since someone else may have put it there.
struct PrivateFolder
{
    QString path;
    // Empty when the folder can be used; otherwise the sentence that says why not.
    QString problem;

    bool usable() const { return problem.isEmpty(); }

    // Checks `path` as it is.
    static PrivateFolder check(const QString &path);
    // Creates `path` with mode 0700 when it does not exist yet, then checks it.
    static PrivateFolder make(const QString &path);
    // The user's runtime folder ($XDG_RUNTIME_DIR) when it is private, else temporary(): for
    // sockets and other small things (the runtime folder is usually held in memory).
    static PrivateFolder runtime();
    // "tessary-private-<uid>" in the temporary folder: for files of any size. (Earlier
    // versions left their socket as "tessary-<uid>" there, so that name is not used.)
    static PrivateFolder temporary();
};
