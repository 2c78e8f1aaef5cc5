// A scripted stand-in for the adb executable, for tests.
//
// Environment:
//   STANDIN_LOG     file to which every call appends its argument vector as one JSON array line
//   STANDIN_SCRIPT  JSON file describing what to do:
//     {"rules": [{"contains": "ls -1 /storage",      // optional; first rule whose text is found in
//                                                   // the arguments joined by single spaces wins
//                 "steps": [{"out": "text", "repeat": 2}, {"err": "text"},
//                           {"outBase64": "..."}, {"errBase64": "..."},
//                           {"outSeq": [1, 1000]}, {"errSeq": [1, 1000]}, // "n\n" for each n
//                           {"sleepMs": 200}],
//                 "exit": 0,                         // exit status
//                 "signal": 0}]}                     // if set, the stand-in ends with this signal
// Without a script or a matching rule it prints nothing and exits 0.
#include <QByteArray>
#include <QFile>
#include <QJsonArray>
#include <QJsonDocument>
#include <QJsonObject>
#include <QStringList>

#include <csignal>
#include <fcntl.h>
#include <thread>
#include <unistd.h>

namespace {

void writeAll(int fd, const QByteArray &bytes)
{
    qsizetype done = 0;
    while (done < bytes.size()) {
        const ssize_t n = ::write(fd, bytes.constData() + done, size_t(bytes.size() - done));
        if (n <= 0)
            return;
        done += n;
    }
}

void logCall(const QStringList &args)
{
    const QByteArray path = qgetenv("STANDIN_LOG");
    if (path.isEmpty())
        return;
    QByteArray line = QJsonDocument(QJsonArray::fromStringList(args)).toJson(QJsonDocument::Compact) + '\n';
    const int fd = ::open(path.constData(), O_WRONLY | O_CREAT | O_APPEND, 0644);
    if (fd < 0)
        return;
    writeAll(fd, line);
    ::close(fd);
}

QByteArray sequence(const QJsonArray &range)
{
    QByteArray bytes;
    for (qint64 n = range.at(0).toInteger(); n <= range.at(1).toInteger(); ++n)
        bytes += QByteArray::number(n) + '\n';
    return bytes;
}

void runStep(const QJsonObject &step)
{
    const int repeat = step.value(QStringLiteral("repeat")).toInt(1);
    for (int i = 0; i < repeat; ++i) {
        if (step.contains(QStringLiteral("out")))
            writeAll(STDOUT_FILENO, step.value(QStringLiteral("out")).toString().toUtf8());
        if (step.contains(QStringLiteral("err")))
            writeAll(STDERR_FILENO, step.value(QStringLiteral("err")).toString().toUtf8());
        if (step.contains(QStringLiteral("outBase64")))
            writeAll(STDOUT_FILENO, QByteArray::fromBase64(step.value(QStringLiteral("outBase64")).toString().toLatin1()));
        if (step.contains(QStringLiteral("errBase64")))
            writeAll(STDERR_FILENO, QByteArray::fromBase64(step.value(QStringLiteral("errBase64")).toString().toLatin1()));
        if (step.contains(QStringLiteral("outSeq")))
            writeAll(STDOUT_FILENO, sequence(step.value(QStringLiteral("outSeq")).toArray()));
        if (step.contains(QStringLiteral("errSeq")))
            writeAll(STDERR_FILENO, sequence(step.value(QStringLiteral("errSeq")).toArray()));
        if (step.contains(QStringLiteral("sleepMs")))
            std::this_thread::sleep_for(std::chrono::milliseconds(step.value(QStringLiteral("sleepMs")).toInt()));
    }
}

}

int main(int argc, char **argv)
{
    QStringList args;
    for (int i = 1; i < argc; ++i)
        args << QString::fromLocal8Bit(argv[i]);
    logCall(args);

    QFile script(QString::fromLocal8Bit(qgetenv("STANDIN_SCRIPT")));
    if (script.fileName().isEmpty() || !script.open(QIODevice::ReadOnly))
        return 0;
    const QJsonArray rules = QJsonDocument::fromJson(script.readAll()).object().value(QStringLiteral("rules")).toArray();
    const QString joined = args.join(QLatin1Char(' '));
    for (const QJsonValue &value : rules) {
        const QJsonObject rule = value.toObject();
        const QString contains = rule.value(QStringLiteral("contains")).toString();
        if (!contains.isEmpty() && !joined.contains(contains))
            continue;
        for (const QJsonValue &step : rule.value(QStringLiteral("steps")).toArray())
            runStep(step.toObject());
        if (const int sig = rule.value(QStringLiteral("signal")).toInt(); sig > 0) {
            std::signal(sig, SIG_DFL);
            ::raise(sig);
        }
        return rule.value(QStringLiteral("exit")).toInt(0);
    }
    return 0;
}
