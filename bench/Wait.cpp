#include "Wait.h"

#include <QEventLoop>
#include <QMetaMethod>
#include <QTimer>

bool waitUntil(const QObject &announcer, const std::function<bool()> &done, int timeoutMs)
{
    if (done())
        return true;
    QEventLoop loop;
    const auto quitWhenDone = [&] {
        if (done())
            loop.quit();
    };
    QTimer check;
    check.setSingleShot(true);
    check.setInterval(0);
    QObject::connect(&check, &QTimer::timeout, &loop, quitWhenDone);
    // Every signal of the announcer (re)starts the zero-delay check; QTimer::start() takes no
    // arguments, so any signal may drive it.
    const QMetaObject *meta = announcer.metaObject();
    const QMetaMethod restart = QTimer::staticMetaObject.method(QTimer::staticMetaObject.indexOfSlot("start()"));
    for (int i = QObject::staticMetaObject.methodCount(); i < meta->methodCount(); ++i) {
        const QMetaMethod method = meta->method(i);
        if (method.methodType() == QMetaMethod::Signal)
            QObject::connect(&announcer, method, &check, restart);
    }
    QTimer fallback;
    QObject::connect(&fallback, &QTimer::timeout, &loop, quitWhenDone);
    fallback.start(50);
    QTimer deadline;
    deadline.setSingleShot(true);
    QObject::connect(&deadline, &QTimer::timeout, &loop, &QEventLoop::quit);
    deadline.start(timeoutMs);
    loop.exec();
    return done();
}

void spin(int ms)
{
    QEventLoop loop;
    QTimer::singleShot(ms, &loop, &QEventLoop::quit);
    loop.exec();
}
