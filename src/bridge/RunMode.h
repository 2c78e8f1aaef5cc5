#pragma once

// How a child's standard output is connected.
// Pipes: a plain pipe (the default for every operation).
// Terminal: a pseudo-terminal, so adb push/pull print their "[ 42%]" progress lines;
// standard input stays off the terminal and standard error stays a pipe.
enum class RunMode { Pipes, Terminal };
