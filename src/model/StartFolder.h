#pragma once

#include <QString>

// The folder the computer pane opens in, and goes back to when the drive it showed went
// away: the desktop's download folder, or the home folder on an account that has none (a
// fresh account may lack it; nothing is created in the user's home).
QString computerStartFolder();
