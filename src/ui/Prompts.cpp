#include "ui/Prompts.h"

#include "model/AppModel.h"
#include "ui/Texts.h"

#include <QLabel>
#include <QMessageBox>
#include <QPushButton>
#include <QScopedValueRollback>

namespace {

QMessageBox::Icon iconFor(AppModel::MessageKind kind)
{
    return kind == AppModel::MessageKind::information ? QMessageBox::Information : QMessageBox::Warning;
}

// Names in the texts come from the phone and the disk: shown as typed, never as markup.
void showPlain(QMessageBox *box, const QString &text)
{
    box->setInformativeText(text);
    if (auto *label = box->findChild<QLabel *>(QStringLiteral("qt_msgbox_informativelabel")))
        label->setTextFormat(Qt::PlainText);
}

} // namespace

Prompts::Prompts(AppModel *model, QWidget *window) : QObject(window), m_model(model), m_window(window)
{
    connect(model, &AppModel::messageChanged, this, [this] { sync(Kind::message); });
    connect(model, &AppModel::conflictChanged, this, [this] { sync(Kind::conflict); });
    connect(model, &AppModel::moveRequestChanged, this, [this] { sync(Kind::move); });
    connect(model, &AppModel::backupPlanChanged, this, [this] { sync(Kind::backup); });
    for (Kind kind : {Kind::message, Kind::conflict, Kind::move, Kind::backup})
        sync(kind);
}

QPointer<QMessageBox> &Prompts::slot(Kind kind)
{
    switch (kind) {
    case Kind::message:
        return m_message;
    case Kind::conflict:
        return m_conflict;
    case Kind::move:
        return m_move;
    case Kind::backup:
        break;
    }
    return m_backup;
}

void Prompts::sync(Kind kind)
{
    std::optional<std::pair<QString, QString>> content; // title, text
    QStringList buttons;                                  // the last one is the cancel button
    switch (kind) {
    case Kind::message:
        if (const auto message = m_model->message())
            content = std::pair(QStringLiteral("Tessary"), *message);
        buttons = {QStringLiteral("OK")};
        break;
    case Kind::conflict:
        if (const auto conflict = m_model->conflict())
            content = std::pair(QStringLiteral("Already exists"), Texts::conflictMessage(conflict->names, conflict->toPhone));
        buttons = {QStringLiteral("Replace"), QStringLiteral("Keep Both"), QStringLiteral("Skip"), QStringLiteral("Cancel")};
        break;
    case Kind::move:
        if (const auto request = m_model->moveRequest())
            content = std::pair(QStringLiteral("Move files?"), Texts::moveMessage(request->paths.size(), request->toPhone));
        buttons = {QStringLiteral("Move"), QStringLiteral("Cancel")};
        break;
    case Kind::backup:
        if (const auto plan = m_model->backupPlan())
            content = std::pair(QStringLiteral("Back up photos?"), Texts::backupMessage(*plan));
        buttons = {QStringLiteral("Back Up"), QStringLiteral("Cancel")};
        break;
    }

    QPointer<QMessageBox> &box = slot(kind);
    if (!content) {
        if (box) {
            QScopedValueRollback guard(m_closing, true);
            QMessageBox *closing = box;
            box = nullptr;
            closing->done(0);
            closing->deleteLater();
        }
        return;
    }
    if (box) {
        showPlain(box, content->second);
        if (kind == Kind::message)
            box->setIcon(iconFor(m_model->messageKind()));
        return;
    }
    box = open(kind, content->first, content->second, buttons);
}

QMessageBox *Prompts::open(Kind kind, const QString &title, const QString &text, const QStringList &buttons)
{
    auto *box = new QMessageBox(m_window);
    box->setWindowTitle(title);
    box->setText(title);
    box->setTextFormat(Qt::PlainText);
    showPlain(box, text);
    box->setIcon(kind == Kind::message ? iconFor(m_model->messageKind()) : QMessageBox::Question);
    box->setWindowModality(Qt::WindowModal);
    // A bold heading over the text, and lines long enough that a path or a list of names
    // does not wrap after every other word.
    box->setStyleSheet(QStringLiteral("QLabel#qt_msgbox_label { font-weight: bold; }"
                                      "QLabel#qt_msgbox_informativelabel { min-width: 360px; }"));
    // The answer is told by which button was pressed, never by its text: a desktop theme may
    // add shortcut marks to the labels.
    QList<QPointer<QPushButton>> added;
    for (qsizetype i = 0; i < buttons.size(); ++i) {
        const bool isCancel = i == buttons.size() - 1 && buttons.size() > 1;
        QPushButton *button = box->addButton(buttons.at(i), isCancel ? QMessageBox::RejectRole : QMessageBox::AcceptRole);
        if (box->defaultButton() == nullptr && !isCancel)
            box->setDefaultButton(button);
        added.append(button);
    }
    box->setEscapeButton(added.last());
    connect(box, &QMessageBox::finished, this, [this, kind, box, added] {
        if (m_closing)
            return;
        qsizetype answer = -1;
        for (qsizetype i = 0; i < added.size(); ++i)
            if (added.at(i) && added.at(i) == box->clickedButton())
                answer = i;
        answered(kind, box, answer);
        box->deleteLater();
    });
    box->open();
    return box;
}

void Prompts::answered(Kind kind, QMessageBox *box, qsizetype answer)
{
    QPointer<QMessageBox> &current = slot(kind);
    if (current == box)
        current = nullptr;
    switch (kind) {
    case Kind::message:
        m_model->setMessage(std::nullopt);
        break;
    case Kind::conflict: {
        static constexpr ConflictResolution answers[] = {ConflictResolution::replace, ConflictResolution::keepBoth,
                                                         ConflictResolution::skip};
        m_model->answerConflict(answer >= 0 && answer < qsizetype(std::size(answers)) ? answers[answer]
                                                                                       : ConflictResolution::cancel);
        break;
    }
    case Kind::move:
        if (answer == 0)
            emit moveConfirmed();
        else
            m_model->setMoveRequest(std::nullopt);
        break;
    case Kind::backup:
        if (answer == 0)
            emit backupConfirmed();
        else
            m_model->setBackupPlan(std::nullopt);
        break;
    }
}
