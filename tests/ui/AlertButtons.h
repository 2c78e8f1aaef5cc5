#pragma once

#include <QAbstractButton>
#include <QMessageBox>
#include <QString>

// The alert's button with this label, or null when it has none.
inline QAbstractButton *buttonLabelled(QMessageBox *box, const QString &label)
{
    for (QAbstractButton *button : box->buttons())
        if (button->text() == label)
            return button;
    return nullptr;
}
