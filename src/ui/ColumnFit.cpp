#include "ui/ColumnFit.h"

#include <algorithm>

ColumnWidths fitColumns(int available, int nameNeed, ColumnRoom size, ColumnRoom modified)
{
    size.ideal = std::max(size.ideal, size.need);
    modified.ideal = std::max(modified.ideal, modified.need);
    const int spare = available - size.ideal - modified.ideal;
    if (spare >= nameNeed)
        return {spare, size.ideal, modified.ideal};
    const int sizeSlack = size.ideal - size.need;
    const int slack = sizeSlack + modified.ideal - modified.need;
    const int shortfall = nameNeed - spare;
    if (shortfall >= slack)
        return {std::max(0, available - size.need - modified.need), size.need, modified.need};
    const int sizeCut = shortfall * sizeSlack / slack;
    const int widthOfSize = size.ideal - sizeCut;
    const int widthOfModified = modified.ideal - (shortfall - sizeCut);
    return {available - widthOfSize - widthOfModified, widthOfSize, widthOfModified};
}
