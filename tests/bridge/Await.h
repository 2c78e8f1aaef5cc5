#pragma once

#include "bridge/ADBError.h"

#include <QCoro/QCoroTask>
#include <QEventLoop>

#include <exception>
#include <optional>

// Runs the event loop until `task` has finished and returns its value or rethrows its
// exception. (QCoro::waitFor never returns when the awaited task throws.)
template<typename T>
T await(QCoro::Task<T> &&task)
{
    QEventLoop loop;
    bool finished = false;
    std::optional<T> value;
    std::exception_ptr error;
    const auto runner = [&](QCoro::Task<T> awaited) -> QCoro::Task<> {
        try {
            value.emplace(co_await std::move(awaited));
        } catch (...) {
            error = std::current_exception();
        }
        finished = true;
        loop.quit();
    };
    const QCoro::Task<> running = runner(std::move(task));
    if (!finished)
        loop.exec();
    if (error)
        std::rethrow_exception(error);
    return std::move(*value);
}

inline void await(QCoro::Task<> &&task)
{
    QEventLoop loop;
    bool finished = false;
    std::exception_ptr error;
    const auto runner = [&](QCoro::Task<> awaited) -> QCoro::Task<> {
        try {
            co_await std::move(awaited);
        } catch (...) {
            error = std::current_exception();
        }
        finished = true;
        loop.quit();
    };
    const QCoro::Task<> running = runner(std::move(task));
    if (!finished)
        loop.exec();
    if (error)
        std::rethrow_exception(error);
}

// The text of the ADBError the task throws, or "(no error)".
template<typename T>
QString failureOf(QCoro::Task<T> &&task)
{
    try {
        await(std::move(task));
    } catch (const ADBError &error) {
        return error.message();
    }
    return QStringLiteral("(no error)");
}
