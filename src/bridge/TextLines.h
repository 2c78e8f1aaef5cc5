#pragma once

#include <QString>
#include <QStringList>

// Splits at every line break: line feed, carriage return, the pair of the two (one
// break), vertical tab, form feed, U+0085, U+2028, U+2029.
QStringList splitLines(const QString &text, Qt::SplitBehavior behavior = Qt::SkipEmptyParts);

// Removes blanks (tabs and space separators) from both ends.
QString trimBlanks(const QString &text);

// Splits at runs of spaces and tabs, dropping empty fields.
QStringList splitFields(const QString &line);
