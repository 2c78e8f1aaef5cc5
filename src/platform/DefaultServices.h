#pragma once

class Platform;

// Fills `platform` with this operating system's services; each system has its own definition
// (platform/linux/ for Linux).
void installDefaultServices(Platform &platform);
