#pragma once

#include <functional>

class QObject;

// Runs the event loop until `done` holds; false after timeoutMs. `done` is checked on the turn
// of the loop after each signal `announcer` emits (so state set right after a signal, as the
// worker's end is, counts too) and every 50 ms for anything no signal announces. The measured
// process is left alone meanwhile: a check every few milliseconds would wake it hundreds of
// times a second and take that time from adb beside it.
bool waitUntil(const QObject &announcer, const std::function<bool()> &done, int timeoutMs);

// Runs the event loop for `ms` milliseconds.
void spin(int ms);
