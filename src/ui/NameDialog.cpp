#include "ui/NameDialog.h"

#include <QDialogButtonBox>
#include <QLabel>
#include <QLineEdit>
#include <QPushButton>
#include <QVBoxLayout>

NameDialog::NameDialog(const QString &title, const QString &placeholder, const QString &acceptText,
                       const QString &text, QWidget *parent)
    : QDialog(parent), m_field(new QLineEdit(text, this))
{
    setWindowTitle(title);
    setAttribute(Qt::WA_DeleteOnClose);
    auto *layout = new QVBoxLayout(this);
    auto *heading = new QLabel(title, this);
    QFont bold = heading->font();
    bold.setBold(true);
    heading->setFont(bold);
    layout->addWidget(heading);
    m_field->setPlaceholderText(placeholder);
    m_field->setAccessibleName(placeholder);
    m_field->setMinimumWidth(260);
    m_field->selectAll();
    layout->addWidget(m_field);
    auto *buttons = new QDialogButtonBox(this);
    m_accept = buttons->addButton(acceptText, QDialogButtonBox::AcceptRole);
    buttons->addButton(QStringLiteral("Cancel"), QDialogButtonBox::RejectRole);
    m_accept->setDefault(true);
    layout->addWidget(buttons);
    connect(buttons, &QDialogButtonBox::accepted, this, &QDialog::accept);
    connect(buttons, &QDialogButtonBox::rejected, this, &QDialog::reject);
}

QString NameDialog::trimmedText() const
{
    QString text = m_field->text();
    qsizetype begin = 0;
    qsizetype end = text.size();
    while (begin < end && text.at(begin) == QLatin1Char(' '))
        ++begin;
    while (end > begin && text.at(end - 1) == QLatin1Char(' '))
        --end;
    return text.mid(begin, end - begin);
}
