#pragma once

#include <QByteArray>
#include <QMetaType>
#include <QString>

// The outcome of one adb run. `status` is the exit status, or the signal's number
// when the child was ended by a signal. `output`/`error` are the two streams decoded
// as UTF-8 (invalid sequences become U+FFFD); `data` is standard output's raw bytes.
struct ProcessResult
{
    int status = 0;
    QString output;
    QString error;
    QByteArray data;

    bool operator==(const ProcessResult &) const = default;
};

Q_DECLARE_METATYPE(ProcessResult)
