#pragma once

#include <QList>
#include <QMetaType>
#include <QString>
#include <QUuid>
#include <optional>

// What a transfer does; spelled TransferJob::Kind everywhere else.
enum class TransferKind { toAndroid, toMac, install, backup };

// What to transfer. Without targetName the item keeps its source's last path component.
struct TransferSpec
{
    QString source;
    QString destDir;
    std::optional<QString> targetName;
    TransferKind kind = TransferKind::toAndroid;
    QString serial;
    bool deleteSource = false;

    bool operator==(const TransferSpec &) const = default;
};

// One row of the transfer list.
class TransferJob
{
public:
    using Kind = TransferKind;

    // queued and running are active; done, cancelled and failed are finished.
    // Only failed carries a text: the reason shown to the user.
    class State
    {
    public:
        enum class Case { queued, running, done, cancelled, failed };

        State() = default;
        static State queued() { return State(Case::queued); }
        static State running() { return State(Case::running); }
        static State done() { return State(Case::done); }
        static State cancelled() { return State(Case::cancelled); }
        static State failed(const QString &message) { return State(Case::failed, message); }

        Case value() const { return m_case; }
        QString message() const { return m_message; }
        bool isActive() const { return m_case == Case::queued || m_case == Case::running; }
        bool isFinished() const { return !isActive(); }
        bool operator==(const State &) const = default;

    private:
        explicit State(Case c, QString message = {}) : m_case(c), m_message(std::move(message)) {}
        Case m_case = Case::queued;
        QString m_message;
    };

    QUuid id;
    QString name;
    Kind kind = Kind::toAndroid;
    double progress = 0.0;
    State state;
    QString detail;
    bool indeterminate = false;
    // Absent for rows that cannot be retried (backups, drag pulls).
    std::optional<TransferSpec> spec;

    bool operator==(const TransferJob &) const = default;
};

// One queued unit of work; jobID names its row in the transfer list.
struct PendingTransfer
{
    QUuid jobID;
    TransferSpec spec;

    bool operator==(const PendingTransfer &) const = default;
};

Q_DECLARE_METATYPE(TransferJob)
Q_DECLARE_METATYPE(TransferSpec)
Q_DECLARE_METATYPE(PendingTransfer)
