#pragma once

#include <string>
#include <vector>

// What a shell command's process does between fork and exec to see the phone's file system:
// a private mount namespace in which the phone's storage folders, /dev and /proc are bound
// into the system image, then a chroot into the image. Everything is prepared before the fork
// so that the child only makes system calls. It works alike for root and inside the phone's
// user namespace (where a new proc may not be mounted, so this computer's is bound).
struct SandboxPlan {
    struct Bind {
        std::string source;
        std::string target;
        bool recursive = false;
        bool readOnly = false;
    };
    std::string root;                       // the system image, the child's "/"
    std::vector<Bind> binds;
    std::vector<std::string> deniedTargets; // covered by an unreadable empty folder or file
    std::string deniedFolder;
    std::string deniedFile;
};

// Runs in the forked child: sets up the sandbox and executes argv with envp. Never returns;
// on failure it writes the reason to standard error and exits with status 127.
[[noreturn]] void execInSandbox(const SandboxPlan &plan, char *const argv[], char *const envp[]);
