#pragma once

#include <QString>

// A name as the phone's toybox prints it with `ls -b`, back as the name itself. `ls -b`
// writes a backslash as "\\", a space as "\ ", the controls \a \b \e \f \n \r \t \v by
// letter and every other byte it does not print as a backslash and three octal digits, so
// each name stays on one line whatever it holds.
//
// What cannot be read back exactly comes out as U+FFFD: bytes that are not UTF-8, and
// octal escapes of 0x80–0x9F, because toybox writes a control character U+0080–U+009F as
// one escape of its code point, which looks the same as a lone byte of that value. So does
// a backslash before anything else, which this form of listing never prints.
QString unescapeListedName(const QString &printed);
