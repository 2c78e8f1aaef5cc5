#pragma once

#include <QDialog>

class QLineEdit;
class QPushButton;

// A small alert with one text field: the New Folder and Rename dialogs of a pane.
class NameDialog : public QDialog
{
    Q_OBJECT

public:
    NameDialog(const QString &title, const QString &placeholder, const QString &acceptText,
               const QString &text, QWidget *parent);

    QLineEdit *field() const { return m_field; }
    QPushButton *acceptButton() const { return m_accept; }
    // The typed text without spaces at both ends.
    QString trimmedText() const;

private:
    QLineEdit *m_field;
    QPushButton *m_accept;
};
