#include "common/NameOrder.h"

#include <QCollator>
#include <QLocale>

namespace {
// QCollator initialises itself lazily on first compare, so each thread keeps its own.
const QCollator &collator()
{
    thread_local const QCollator instance = [] {
        // Qt's "C" locale collator compares code points only (no numeric runs, case
        // matters), so a machine without a configured language sorts as English does.
        QLocale locale;
        if (locale.language() == QLocale::C)
            locale = QLocale(QLocale::English, QLocale::UnitedStates);
        QCollator c(locale);
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

QCollatorSortKey nameSortKey(const QString &name)
{
    return collator().sortKey(name);
}
