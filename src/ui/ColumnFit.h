#pragma once

// The room one column wants: the width its texts need, and the width it has when the table
// is wide enough.
struct ColumnRoom
{
    int need = 0;
    int ideal = 0;
};

struct ColumnWidths
{
    int name = 0;
    int size = 0;
    int modified = 0;
};

// Shares a table `available` pixels wide among a pane's Name, Size and Modified columns.
// Name takes all the width the others leave. As the table narrows Name first gives up what
// it has beyond nameNeed, then Size and Modified shrink from their ideal widths toward
// their needs (each by its share of the slack), and only then is Name cut below its need.
ColumnWidths fitColumns(int available, int nameNeed, ColumnRoom size, ColumnRoom modified);
