#pragma once

#include "CappedStorage.h"
#include "EmulatorContext.h"

#include <QObject>
#include <QTemporaryDir>

#include <memory>

class QTcpServer;

// One emulated phone: prepares its system image and storage, then accepts adb connections on
// 127.0.0.1.
class PhoneEmulator : public QObject {
    Q_OBJECT
public:
    explicit PhoneEmulator(const EmulatorOptions &options, QObject *parent = nullptr);
    ~PhoneEmulator() override;

    bool setUp(QString &error);
    // Starts listening; returns the port, or 0 with error set.
    quint16 listen(QString &error);

private:
    void accept();

    EmulatorOptions m_options;
    QTemporaryDir m_work;
    CappedStorage m_capped;
    Link m_link;
    std::unique_ptr<EmulatorContext> m_context;
    QTcpServer *m_server = nullptr;
};
