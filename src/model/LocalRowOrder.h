#pragma once

#include "bridge/FileEntry.h"

#include <QList>

// The computer pane's order: folders before files, each by the shared name order;
// rows that compare equal keep the order the listing gave them.
void sortLocalRows(QList<FileEntry> &rows);
