#pragma once

#include <QList>
#include <QMessageBox>
#include <QObject>
#include <QPointer>

class AppModel;
class QPushButton;
class QWidget;

// The window's four alerts, each open exactly while its model value is present: the
// notice ("Tessary"), the name clash ("Already exists"), the move ("Move files?") and the
// backup ("Back up photos?"). Closing an alert any way other than its buttons counts as its
// cancel button; a value cleared elsewhere closes its alert without answering.
class Prompts : public QObject
{
    Q_OBJECT

public:
    Prompts(AppModel *model, QWidget *window);

    QMessageBox *messageAlert() const { return m_message; }
    QMessageBox *conflictAlert() const { return m_conflict; }
    QMessageBox *moveAlert() const { return m_move; }
    QMessageBox *backupAlert() const { return m_backup; }

signals:
    void moveConfirmed();
    void backupConfirmed();

private:
    enum class Kind { message, conflict, move, backup };

    void sync(Kind kind);
    QPointer<QMessageBox> &slot(Kind kind);
    QMessageBox *open(Kind kind, const QString &title, const QString &text, const QStringList &buttons);
    // `answer` is the index of the pressed button in the order they were added; -1 when the
    // alert was closed without one.
    void answered(Kind kind, QMessageBox *box, qsizetype answer);

    AppModel *m_model;
    QWidget *m_window;
    QPointer<QMessageBox> m_message;
    QPointer<QMessageBox> m_conflict;
    QPointer<QMessageBox> m_move;
    QPointer<QMessageBox> m_backup;
    bool m_closing = false;
};
