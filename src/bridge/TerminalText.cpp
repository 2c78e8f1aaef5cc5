#include "bridge/TerminalText.h"

QString stripTerminalEscapes(const QString &text)
{
    const QChar esc(0x1b);
    if (!text.contains(esc))
        return text;
    QString out;
    out.reserve(text.size());
    const qsizetype n = text.size();
    qsizetype i = 0;
    while (i < n) {
        const QChar c = text.at(i);
        if (c != esc) {
            out.append(c);
            ++i;
            continue;
        }
        if (i + 1 >= n) // a lone escape at the end
            break;
        const QChar kind = text.at(i + 1);
        if (kind == QLatin1Char('[')) {
            // CSI: parameter and intermediate bytes, then one final byte in 0x40..0x7e.
            qsizetype j = i + 2;
            while (j < n && (text.at(j).unicode() < 0x40 || text.at(j).unicode() > 0x7e))
                ++j;
            i = j + 1;
        } else if (kind == QLatin1Char(']')) {
            // OSC: up to BEL or ESC backslash.
            qsizetype j = i + 2;
            while (j < n && text.at(j).unicode() != 0x07
                   && !(text.at(j) == esc && j + 1 < n && text.at(j + 1) == QLatin1Char('\\')))
                ++j;
            i = (j < n && text.at(j).unicode() == 0x07) ? j + 1 : j + 2;
        } else {
            i += 2;
        }
    }
    return out;
}
