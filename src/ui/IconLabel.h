#pragma once

#include <QWidget>

class QLabel;

// An icon followed by a text on one line, like a label with an image.
class IconLabel : public QWidget
{
    Q_OBJECT

public:
    IconLabel(const QString &symbol, const QString &text, QWidget *parent = nullptr, int iconSize = 14);

    void setText(const QString &text);
    QString text() const;
    void setSymbol(const QString &symbol);
    QString symbol() const { return m_symbol; }
    // Colours icon and text alike (an invalid colour restores the palette's).
    void setColor(const QColor &color);
    void setWordWrap(bool wrap);
    QLabel *textLabel() const { return m_text; }

private:
    QLabel *m_icon;
    QLabel *m_text;
    QString m_symbol;
    int m_iconSize;
    QColor m_color;
};
