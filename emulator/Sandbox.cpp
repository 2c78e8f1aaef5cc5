#include "Sandbox.h"

#include <cerrno>
#include <cstring>
#include <utility>
#include <linux/capability.h>
#include <sched.h>
#include <sys/mount.h>
#include <sys/prctl.h>
#include <sys/stat.h>
#include <sys/statfs.h>
#include <sys/statvfs.h>
#include <sys/syscall.h>
#include <unistd.h>

namespace {

void say(const char *text)
{
    const ssize_t ignored = ::write(STDERR_FILENO, text, std::strlen(text));
    (void)ignored;
}

[[noreturn]] void fail(const char *step, const char *path)
{
    const int error = errno;
    say("phone-emulator: ");
    say(step);
    say(" ");
    say(path);
    say(": ");
    say(strerrordesc_np(error));
    say("\n");
    _exit(127);
}

// Root that may not override permissions: an unreadable folder stays unreadable for the shell.
void dropPermissionOverride()
{
    for (int capability : {CAP_DAC_OVERRIDE, CAP_DAC_READ_SEARCH})
        prctl(PR_CAPBSET_DROP, capability, 0, 0, 0);
    __user_cap_header_struct header{_LINUX_CAPABILITY_VERSION_3, 0};
    __user_cap_data_struct data[2] = {};
    if (syscall(SYS_capget, &header, data) != 0)
        fail("capget", "");
    const unsigned mask = ~((1u << CAP_DAC_OVERRIDE) | (1u << CAP_DAC_READ_SEARCH));
    data[0].effective &= mask;
    data[0].permitted &= mask;
    data[0].inheritable &= mask;
    if (syscall(SYS_capset, &header, data) != 0)
        fail("capset", "");
}

// A read-only remount of a bind keeps the flags of the mount it shows: inside a user
// namespace the kernel refuses to clear them.
unsigned long keptFlags(const char *target)
{
    struct statfs st;
    if (statfs(target, &st) != 0)
        return 0;
    unsigned long flags = 0;
    for (const auto &[statFlag, mountFlag] : {std::pair{ST_NOSUID, MS_NOSUID}, {ST_NODEV, MS_NODEV},
                                              {ST_NOEXEC, MS_NOEXEC}, {ST_NOATIME, MS_NOATIME},
                                              {ST_NODIRATIME, MS_NODIRATIME}, {ST_RELATIME, MS_RELATIME}}) {
        if (st.f_flags & statFlag)
            flags |= mountFlag;
    }
    return flags;
}

}

void execInSandbox(const SandboxPlan &plan, char *const argv[], char *const envp[])
{
    if (unshare(CLONE_NEWNS) != 0)
        fail("unshare", "mount namespace");
    if (mount(nullptr, "/", nullptr, MS_REC | MS_PRIVATE, nullptr) != 0)
        fail("make private", "/");
    for (const SandboxPlan::Bind &bind : plan.binds) {
        const unsigned long flags = MS_BIND | (bind.recursive ? MS_REC : 0);
        if (mount(bind.source.c_str(), bind.target.c_str(), nullptr, flags, nullptr) != 0)
            fail("bind", bind.target.c_str());
        if (bind.readOnly
            && mount(nullptr, bind.target.c_str(), nullptr,
                     MS_REMOUNT | MS_BIND | MS_RDONLY | keptFlags(bind.target.c_str()), nullptr) != 0)
            fail("make read-only", bind.target.c_str());
    }
    for (const std::string &target : plan.deniedTargets) {
        struct stat st;
        if (stat(target.c_str(), &st) != 0)
            continue;
        const std::string &cover = S_ISDIR(st.st_mode) ? plan.deniedFolder : plan.deniedFile;
        if (mount(cover.c_str(), target.c_str(), nullptr, MS_BIND, nullptr) != 0)
            fail("deny", target.c_str());
    }
    if (chroot(plan.root.c_str()) != 0)
        fail("chroot", plan.root.c_str());
    if (chdir("/") != 0)
        fail("chdir", "/");
    if (!plan.deniedTargets.empty())
        dropPermissionOverride();
    execve(argv[0], argv, envp);
    fail("exec", argv[0]);
}
