#pragma once

#include <QString>

#include <optional>

// A name the user typed for a new folder or a rename must name one item inside the folder it
// is typed in. Joined to a folder, a name holding "/" reaches into another folder (or, when it
// starts with "/", replaces the folder altogether), and "." and ".." name the folder itself
// and its parent. The sentence that refuses such a name; nothing for a name that can be used.
std::optional<QString> typedNameRefusal(const QString &name);
