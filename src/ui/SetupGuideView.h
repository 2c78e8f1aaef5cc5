#pragma once

#include <QWidget>

class AppModel;
class DriveCards;
class QPushButton;

// The main region while no device is known: how to connect a phone, "Scan again",
// "Connect over Wi-Fi…" and the drive cards.
class SetupGuideView : public QWidget
{
    Q_OBJECT

public:
    explicit SetupGuideView(AppModel *model, QWidget *parent = nullptr);

    QPushButton *scanButton() const { return m_scan; }
    QPushButton *wirelessButton() const { return m_wireless; }
    DriveCards *driveCards() const { return m_cards; }

signals:
    void scanRequested();
    // Asks the window to open its Wi-Fi popover.
    void wirelessRequested();

private:
    QPushButton *m_scan;
    QPushButton *m_wireless;
    DriveCards *m_cards;
};
