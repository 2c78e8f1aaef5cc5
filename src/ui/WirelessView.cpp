#include "ui/WirelessView.h"

#include <QGroupBox>
#include <QHBoxLayout>
#include <QLabel>
#include <QLineEdit>
#include <QPushButton>
#include <QVBoxLayout>

WirelessView::WirelessView(QWidget *parent)
    : QWidget(parent), m_pairAddress(new QLineEdit(this)), m_code(new QLineEdit(this)),
      m_address(new QLineEdit(this)), m_pair(new QPushButton(QStringLiteral("Pair"), this)),
      m_connect(new QPushButton(QStringLiteral("Connect"), this))
{
    setMinimumWidth(340);
    auto *layout = new QVBoxLayout(this);
    layout->setContentsMargins(0, 0, 0, 0);
    auto *title = new QLabel(QStringLiteral("Wi-Fi connection"), this);
    QFont headline = title->font();
    headline.setBold(true);
    title->setFont(headline);
    layout->addWidget(title);
    auto *hint = new QLabel(QStringLiteral("Phone and Mac must be on the same Wi-Fi. Android 11+: Developer options → Wireless debugging."), this);
    hint->setWordWrap(true);
    hint->setForegroundRole(QPalette::PlaceholderText);
    layout->addWidget(hint);

    auto *pairBox = new QGroupBox(QStringLiteral("1. Pair (first time only)"), this);
    auto *pairLayout = new QVBoxLayout(pairBox);
    m_pairAddress->setPlaceholderText(QStringLiteral("Pairing IP:port (e.g. 192.168.1.5:37123)"));
    m_code->setPlaceholderText(QStringLiteral("Pairing code"));
    pairLayout->addWidget(m_pairAddress);
    auto *codeRow = new QHBoxLayout;
    codeRow->addWidget(m_code, 1);
    codeRow->addWidget(m_pair);
    pairLayout->addLayout(codeRow);
    layout->addWidget(pairBox);

    auto *connectBox = new QGroupBox(QStringLiteral("2. Connect"), this);
    auto *connectLayout = new QHBoxLayout(connectBox);
    m_address->setPlaceholderText(QStringLiteral("IP:port (e.g. 192.168.1.5:5555)"));
    connectLayout->addWidget(m_address, 1);
    connectLayout->addWidget(m_connect);
    layout->addWidget(connectBox);

    for (QLineEdit *field : {m_pairAddress, m_code, m_address}) {
        // No label stands beside the fields: their hints name them.
        field->setAccessibleName(field->placeholderText());
        connect(field, &QLineEdit::textChanged, this, &WirelessView::refreshButtons);
    }
    connect(m_pair, &QPushButton::clicked, this,
            [this] { emit pairRequested(m_pairAddress->text(), m_code->text()); });
    connect(m_connect, &QPushButton::clicked, this, [this] { emit connectRequested(m_address->text()); });
    // Return in a group's field presses that group's button, when the button may be pressed.
    for (QLineEdit *field : {m_pairAddress, m_code})
        connect(field, &QLineEdit::returnPressed, m_pair, &QPushButton::animateClick);
    connect(m_address, &QLineEdit::returnPressed, m_connect, &QPushButton::animateClick);
    refreshButtons();
}

void WirelessView::refreshButtons()
{
    m_pair->setEnabled(!m_pairAddress->text().isEmpty() && !m_code->text().isEmpty());
    m_connect->setEnabled(!m_address->text().isEmpty());
}
