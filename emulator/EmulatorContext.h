#pragma once

#include "EmulatorOptions.h"
#include "Link.h"
#include "PhoneFileSystem.h"
#include "Sandbox.h"

#include <QByteArray>
#include <QList>

// What every connection of one phone shares.
struct EmulatorContext {
    EmulatorOptions options;
    PhoneFileSystem files;
    SandboxPlan sandbox;
    QList<QByteArray> shellEnvironment;
    Link *link = nullptr;
};
