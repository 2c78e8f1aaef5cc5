#pragma once

#include "ui/UnavailablePanel.h"

// The main region while the adb tool cannot be found.
class AdbMissingView : public UnavailablePanel
{
    Q_OBJECT

public:
    explicit AdbMissingView(QWidget *parent = nullptr);
};
