// The engine's Windows test program, run under Wine.
//   engine_tests GROUP PRODUCT_DIR PAYLOAD   run one group of cases
//   engine_tests hold PATH                   (child) hold a file open without sharing
//   engine_tests propose OUT                 (child) write the proposed folder to OUT
// Linux paths given by ctest are taken through drive Z:.
#include "tests/win/engine/fixture.h"

#include "engine/folder.h"
#include "engine/session.h"

#include <stdio.h>
#include <string.h>

namespace {

void windowsPath(char *out, size_t capacity, const char *path)
{
    snprintf(out, capacity, "%s%s", path[0] == '/' ? "Z:" : "", path);
    for (char *p = out; *p; ++p)
        if (*p == '/')
            *p = '\\';
}

// Child: opens path with no sharing, signals that it holds it and keeps it open
// until the parent says so (or a deadline passes).
int holdFile(const char *path)
{
    HANDLE file = CreateFileA(path, GENERIC_READ | GENERIC_WRITE, 0, nullptr, OPEN_EXISTING, 0,
                              nullptr);
    if (file == INVALID_HANDLE_VALUE)
        return 2;
    HANDLE ready = OpenEventA(EVENT_MODIFY_STATE, FALSE, "VornTestHoldReady");
    HANDLE release = OpenEventA(SYNCHRONIZE, FALSE, "VornTestHoldRelease");
    if (!ready || !release)
        return 3;
    SetEvent(ready);
    WaitForSingleObject(release, 60000);
    CloseHandle(file);
    return 0;
}

int proposeFolder(const char *out)
{
    initDestinationFolder(nullptr);
    return writeText(out, session.destinationFolder) ? 0 : 2;
}

}  // namespace

int main(int argc, char **argv)
{
    setvbuf(stdout, nullptr, _IONBF, 0);
    if (argc == 3 && !strcmp(argv[1], "hold"))
        return holdFile(argv[2]);
    if (argc == 3 && !strcmp(argv[1], "propose"))
        return proposeFolder(argv[2]);
    if (argc != 4) {
        printf("usage: engine_tests GROUP PRODUCT_DIR PAYLOAD\n");
        return 2;
    }
    char product[MAX_PATH], payload[MAX_PATH];
    windowsPath(product, sizeof product, argv[2]);
    windowsPath(payload, sizeof payload, argv[3]);
    if (!check(loadFixture(product, payload), "load the product files and split the payload"))
        return 1;
    CreateDirectoryA("C:\\work", nullptr);
    startBoxGuard();

    struct Group {
        const char *name;
        void (*run)();
    };
    const Group groups[] = {
        {"run", runGroup},           {"pump", pumpGroup},         {"policy", policyGroup},
        {"faults", faultGroup},      {"registry", registryGroup}, {"folder", folderGroup},
    };
    for (const Group &group : groups)
        if (!strcmp(argv[1], group.name)) {
            group.run();
            printf("%s: %s\n", group.name, testExitCode() ? "FAILED" : "passed");
            return testExitCode();
        }
    printf("unknown group %s\n", argv[1]);
    return 2;
}
