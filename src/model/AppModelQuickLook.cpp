// The preview of a row: a child process showing one file, started and stopped by the same
// key. The child is this program in its preview mode unless a test names another program.
#include "model/AppModel.h"

#include "bridge/ADBError.h"

#include <QCoreApplication>
#include <QFileInfo>

void AppModel::quickLookMac(const QString &path)
{
    const QFileInfo info(path);
    if (info.exists() && !info.isDir())
        runQuickLook(info.absoluteFilePath());
}

void AppModel::quickLookAndroid(const QString &path)
{
    const auto row = std::find_if(m_androidItems.cbegin(), m_androidItems.cend(),
                                  [&path](const FileEntry &entry) { return entry.path == path; });
    if (row == m_androidItems.cend() || row->isDirectory)
        return;
    // The same key closes an open preview, whichever file it shows.
    if (m_quickLookProcess && m_quickLookProcess->state() != QProcess::NotRunning) {
        m_quickLookProcess->terminate();
        m_quickLookProcess = nullptr;
        return;
    }
    launch(previewAndroid(path));
}

QCoro::Task<> AppModel::previewAndroid(QString path)
{
    QPointer<AppModel> self(this);
    std::optional<QString> failure;
    QString local;
    try {
        local = co_await pullForDrag(path);
    } catch (const ADBError &error) {
        failure = error.message();
    }
    if (!self)
        co_return;
    if (failure) {
        setMessage(failure);
        co_return;
    }
    runQuickLook(local);
}

void AppModel::runQuickLook(const QString &path)
{
    if (m_quickLookProcess && m_quickLookProcess->state() != QProcess::NotRunning) {
        m_quickLookProcess->terminate();
        m_quickLookProcess = nullptr;
        if (m_quickLookURL == path)
            return;
    }
    auto *process = new QProcess(this);
    process->setStandardOutputFile(QProcess::nullDevice());
    process->setStandardErrorFile(QProcess::nullDevice());
    // The child is not waited for; the process object goes once the child has ended.
    connect(process, &QProcess::finished, process, &QObject::deleteLater);
    const QString program =
        m_previewProgram.isEmpty() ? QCoreApplication::applicationFilePath() : m_previewProgram;
    process->start(program, {QStringLiteral("--preview"), path});
    m_quickLookProcess = process;
    m_quickLookURL = path;
}
