#pragma once

#include <QAbstractButton>
#include <QLabel>
#include <QStringList>
#include <QTextDocument>
#include <QWidget>

// What the user reads of a widget's texts: a label or tooltip that Qt takes for markup is
// read as rendered, a button's "&" marks a shortcut unless doubled.
inline QString shownMarkup(const QString &text, Qt::TextFormat format)
{
    const bool rich = format == Qt::RichText || (format == Qt::AutoText && Qt::mightBeRichText(text));
    if (!rich)
        return text;
    QTextDocument document;
    document.setHtml(text);
    return document.toPlainText();
}

inline QString shownButtonText(const QString &text)
{
    QString shown;
    for (qsizetype i = 0; i < text.size(); ++i) {
        if (text.at(i) == QLatin1Char('&')) {
            if (i + 1 < text.size() && text.at(i + 1) == QLatin1Char('&'))
                shown += text.at(++i);
            continue;
        }
        shown += text.at(i);
    }
    return shown;
}

// Every text of `root` and its visible children, as shown: labels, button texts, tooltips.
inline QStringList shownTexts(const QWidget *root)
{
    QStringList texts;
    QList<const QWidget *> widgets{root};
    for (const QWidget *child : root->findChildren<QWidget *>())
        if (child->isVisibleTo(root))
            widgets.append(child);
    for (const QWidget *widget : widgets) {
        if (const auto *label = qobject_cast<const QLabel *>(widget))
            texts << shownMarkup(label->text(), label->textFormat());
        if (const auto *button = qobject_cast<const QAbstractButton *>(widget))
            texts << shownButtonText(button->text());
        if (!widget->toolTip().isEmpty())
            texts << shownMarkup(widget->toolTip(), Qt::AutoText);
    }
    return texts;
}
