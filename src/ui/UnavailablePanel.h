#pragma once

#include <QWidget>

class QLabel;
class QPushButton;

// A "content unavailable" panel: a large icon, a title, a description and an optional button.
class UnavailablePanel : public QWidget
{
    Q_OBJECT

public:
    explicit UnavailablePanel(QWidget *parent = nullptr);

    void setContent(const QString &iconSymbol, const QString &title, const QString &description);
    // An empty title hides the button.
    void setAction(const QString &title);
    void setDescriptionSelectable(bool selectable);

    QString title() const;
    QString description() const;
    QPushButton *actionButton() const { return m_button; }

signals:
    void actionTriggered();

private:
    QLabel *m_icon;
    QLabel *m_title;
    QLabel *m_description;
    QPushButton *m_button;
};
