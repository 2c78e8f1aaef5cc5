#include "common/NameOrder.h"

#include <QCollator>

namespace {
// QCollator initialises itself lazily on first compare, so each thread keeps its own.
const QCollator &collator()
{
    thread_local const QCollator instance = [] {
        QCollator c;
        c.setCaseSensitivity(Qt::CaseInsensitive);
        c.setNumericMode(true);
        return c;
    }();
    return instance;
}
}

int compareNames(const QString &a, const QString &b)
{
    return collator().compare(a, b);
}

bool nameLess(const QString &a, const QString &b)
{
    return compareNames(a, b) < 0;
}
