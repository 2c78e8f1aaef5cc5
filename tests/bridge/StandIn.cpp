#include "StandIn.h"

#include "bridge/ADB.h"

#include <QFile>
#include <QJsonDocument>

StandIn::StandIn()
{
    qputenv("STANDIN_SCRIPT", m_dir.filePath(QStringLiteral("script.json")).toLocal8Bit());
    qputenv("STANDIN_LOG", m_dir.filePath(QStringLiteral("calls.log")).toLocal8Bit());
    ADB::shared().setCandidatesForTesting({path()});
}

StandIn::~StandIn()
{
    qunsetenv("STANDIN_SCRIPT");
    qunsetenv("STANDIN_LOG");
}

QString StandIn::path()
{
    return QStringLiteral(STANDIN_ADB_PATH);
}

QJsonObject StandIn::rule(const QString &contains, const QJsonArray &steps, int exit, int signal)
{
    return QJsonObject{{QStringLiteral("contains"), contains},
                       {QStringLiteral("steps"), steps},
                       {QStringLiteral("exit"), exit},
                       {QStringLiteral("signal"), signal}};
}

QJsonObject StandIn::outBytes(const QByteArray &bytes)
{
    return QJsonObject{{QStringLiteral("outBase64"), QString::fromLatin1(bytes.toBase64())}};
}

void StandIn::script(const QJsonArray &rules)
{
    QFile file(m_dir.filePath(QStringLiteral("script.json")));
    if (file.open(QIODevice::WriteOnly | QIODevice::Truncate))
        file.write(QJsonDocument(QJsonObject{{QStringLiteral("rules"), rules}}).toJson());
}

void StandIn::answer(const QString &output, const QString &error, int exit)
{
    script({rule({}, {out(output), err(error)}, exit)});
}

QList<QStringList> StandIn::calls() const
{
    QList<QStringList> result;
    QFile file(m_dir.filePath(QStringLiteral("calls.log")));
    if (!file.open(QIODevice::ReadOnly))
        return result;
    while (!file.atEnd()) {
        const QByteArray line = file.readLine();
        QStringList args;
        for (const QJsonValue &v : QJsonDocument::fromJson(line).array())
            args << v.toString();
        result << args;
    }
    return result;
}

void StandIn::clearCalls()
{
    QFile::remove(m_dir.filePath(QStringLiteral("calls.log")));
}
