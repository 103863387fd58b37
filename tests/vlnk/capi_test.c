// SPDX-License-Identifier: GPL-3.0-or-later
/* A plain C caller that loads the library at run time, as other programs do. */
#include <dlfcn.h>
#include <stdio.h>
#include <stdlib.h>
#include <string.h>

#include "vlnkw32.h"

static int failures = 0;
#define CHECK(cond)                                                                                                    \
    do {                                                                                                               \
        if (!(cond)) {                                                                                                 \
            fprintf(stderr, "%s:%d: check failed: %s\n", __FILE__, __LINE__, #cond);                                   \
            ++failures;                                                                                                \
        }                                                                                                              \
    } while (0)

static char* read_file(const char* path)
{
    FILE* f = fopen(path, "rb");
    if (!f) return NULL;
    static char text[65536];
    size_t n = fread(text, 1, sizeof text - 1, f);
    text[n] = '\0';
    fclose(f);
    return text;
}

int main(void)
{
    char dir[] = "/tmp/vlnk-capi-XXXXXX";
    if (!mkdtemp(dir)) return 1;
    setenv("VLNK_DIR", dir, 1);

    void* lib = dlopen(VLNK_LIBRARY_PATH, RTLD_NOW | RTLD_LOCAL);
    if (!lib) {
        fprintf(stderr, "dlopen: %s\n", dlerror());
        return 1;
    }
    int (*getVersion)(char*) = (int (*)(char*))dlsym(lib, "VLNKGetVersion");
    int (*getError)(int, char*) = (int (*)(int, char*))dlsym(lib, "VLNKGetErrorString");
    int (*freeChannel)(int*) = (int (*)(int*))dlsym(lib, "VLNKGetFreeChannel");
    int (*openChannel)(int, const char*) = (int (*)(int, const char*))dlsym(lib, "VLNKOpenChannel");
    int (*getResult)(int, int*, char*) = (int (*)(int, int*, char*))dlsym(lib, "VLNKGetResult");
    int (*cancel)(int) = (int (*)(int))dlsym(lib, "VLNKCancel");
    void (*writeLog)(int, const char*) = (void (*)(int, const char*))dlsym(lib, "VLNKWriteLog");
    CHECK(getVersion && getError && freeChannel && openChannel && getResult && cancel && writeLog);
    CHECK(dlsym(lib, "LibraryLoad") == NULL && dlsym(lib, "_ZN4vlnk11LibraryLoadEv") == NULL);
    if (failures) return 1;

    char version[VLNK_VERSION_TEXT_SIZE];
    CHECK(getVersion(version) == (int)strlen(version));
    CHECK(strncmp(version, "Vexil VLNK for Windows DLL (32 bit) V0.99b", 42) == 0);
    char text[VLNK_ERROR_TEXT_SIZE];
    CHECK(getError(VLNK_WAITING, text) > 0 && strcmp(text, "VLNKW is waiting for response or timeout") == 0);
    int channel = -1;
    CHECK(freeChannel(&channel) == VLNK_OK && channel == 1);
    CHECK(openChannel(9, "COM1") == VLNK_BAD_CHANNEL);
    CHECK(openChannel(1, "/nonexistent") == VLNK_OPEN_PORT_FAILED);
    CHECK(getResult(1, NULL, NULL) == VLNK_CHANNEL_IDLE);
    CHECK(cancel(1) == VLNK_CHANNEL_NOT_OPEN);
    writeLog(0, "hello from C");
    dlclose(lib);

    char path[512];
    snprintf(path, sizeof path, "%s/VLNKW.LOG", dir);
    const char* log = read_file(path);
    CHECK(log && strstr(log, "Session started\n") && strstr(log, "APP:hello from C\n"));
    CHECK(log && strstr(log, "Failed to open port '/nonexistent'=[-1]"));
    CHECK(log && strstr(log, "Session terminated\n\n"));
    snprintf(path, sizeof path, "%s/vlnkw.ini", dir);
    CHECK(read_file(path) != NULL);

    char command[600];
    snprintf(command, sizeof command, "rm -rf '%s'", dir);
    if (system(command) != 0) ++failures;
    if (failures == 0) printf("capi: all checks passed\n");
    return failures ? 1 : 0;
}
