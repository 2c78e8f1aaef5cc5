#pragma once

#include <functional>

// Runs the event loop until `done` holds, checking every 2 ms; false after timeoutMs.
bool waitUntil(const std::function<bool()> &done, int timeoutMs);

// Runs the event loop for `ms` milliseconds.
void spin(int ms);
