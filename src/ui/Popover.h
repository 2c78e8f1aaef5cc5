#pragma once

#include <QFrame>

// A small window that opens under the control it belongs to and closes on a click outside.
class Popover : public QFrame
{
    Q_OBJECT

public:
    explicit Popover(QWidget *content, QWidget *parent);

    QWidget *content() const { return m_content; }
    // Opens below the anchor, kept inside the anchor's window where it fits, and its screen.
    void showAt(QWidget *anchor);

signals:
    void closed();

protected:
    void hideEvent(QHideEvent *event) override;

private:
    QWidget *m_content;
};
