#pragma once

#include <QByteArray>

// A PNG image of the phone's screen: a plain RGB picture of the given size with a gradient,
// encoded without any image library.
QByteArray screenPng(int width, int height);
