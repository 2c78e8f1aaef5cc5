// Linked into every test executable: started any other way than through tests/isolate (by
// hand, from a debugger's command line), the program starts itself again through it, so a
// test never runs with the developer's own home or reaches the default adb server (the one
// that sees their real phone).
#include <cstdlib>
#include <unistd.h>

#ifndef TESSARY_ISOLATE
#error "TESSARY_ISOLATE must name tests/isolate"
#endif

namespace {

__attribute__((constructor)) void runIsolated(int argc, char **argv)
{
    if (std::getenv("TESSARY_TEST_SCRATCH") || access(TESSARY_ISOLATE, X_OK) != 0)
        return;
    // What CTest would have set.
    setenv("QT_QPA_PLATFORM", "offscreen", 0);
    setenv("TESSARY_BUILD_DIR", TESSARY_BUILD_DIR, 0);
    static char self[4096];
    const ssize_t length = readlink("/proc/self/exe", self, sizeof self - 1);
    if (length <= 0)
        return;
    self[length] = '\0';
    char **arguments = static_cast<char **>(std::calloc(size_t(argc) + 2, sizeof(char *)));
    if (!arguments)
        return;
    arguments[0] = const_cast<char *>(TESSARY_ISOLATE);
    arguments[1] = self;
    for (int i = 1; i < argc; ++i)
        arguments[i + 1] = argv[i];
    execv(TESSARY_ISOLATE, arguments);
    std::free(arguments);
}

}
