#pragma once

#include <QWidget>

class AppModel;
class QPushButton;
class QVBoxLayout;

// The external drives inside the setup guide, so a connected drive shows before any phone:
// a card per drive with its format, capacity, "Show in Finder" and "Eject". Takes no space
// without drives.
class DriveCards : public QWidget
{
    Q_OBJECT

public:
    explicit DriveCards(AppModel *model, QWidget *parent = nullptr);

    QList<QPushButton *> revealButtons() const { return m_revealButtons; }
    QList<QPushButton *> ejectButtons() const { return m_ejectButtons; }

private:
    void rebuild();

    AppModel *m_model;
    QVBoxLayout *m_cards;
    QList<QPushButton *> m_revealButtons;
    QList<QPushButton *> m_ejectButtons;
};
