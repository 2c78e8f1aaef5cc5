#pragma once

#include <QWidget>

class QLineEdit;
class QPushButton;

// The Wi-Fi popover: pair once with an address and code, then connect by address. It shows
// no result itself; the model reports through its message.
class WirelessView : public QWidget
{
    Q_OBJECT

public:
    explicit WirelessView(QWidget *parent = nullptr);

    QLineEdit *pairAddressField() const { return m_pairAddress; }
    QLineEdit *codeField() const { return m_code; }
    QLineEdit *addressField() const { return m_address; }
    QPushButton *pairButton() const { return m_pair; }
    QPushButton *connectButton() const { return m_connect; }

signals:
    void pairRequested(const QString &address, const QString &code);
    void connectRequested(const QString &address);

private:
    void refreshButtons();

    QLineEdit *m_pairAddress;
    QLineEdit *m_code;
    QLineEdit *m_address;
    QPushButton *m_pair;
    QPushButton *m_connect;
};
