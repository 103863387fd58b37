// SPDX-License-Identifier: GPL-3.0-or-later
/* A C program that uses the library and ends in one of the ways integrators'
   programs end; exit_test.py runs it and checks that it ended cleanly and that
   the log closed the session.

   usage: vlnk-exit-test SCENARIO [unload]
     idle            load, nothing else
     closed          open a channel on a pseudo-terminal and close it again
     open            leave the channel open when the process ends
     thread-open     a second thread opens the channel and ends; main returns
     exit-on-thread  main opens the channel; a second thread calls exit()
     exit-during-call
                     main asks the silent handheld over and over (each call
                     waits half a second inside the library); a second thread
                     calls exit() meanwhile
   "unload" closes the library (dlclose) before the end. Built with
   VLNK_LINKED the program is linked against the library instead of loading it
   at run time, and "unload" does not apply. */
#define _GNU_SOURCE
#include <fcntl.h>
#include <pthread.h>
#include <stdatomic.h>
#include <stdio.h>
#include <stdlib.h>
#include <string.h>
#include <unistd.h>

#include "vlnkw32.h"

#ifndef VLNK_LINKED
#include <dlfcn.h>
#endif

static int (*openChannel)(int, const char*);
static int (*closeChannel)(int);
static int (*checkConnect)(int, int);
static void (*writeLog)(int, const char*);
static void* library;

static int Load(void)
{
#ifdef VLNK_LINKED
    openChannel = VLNKOpenChannel;
    closeChannel = VLNKCloseChannel;
    checkConnect = VLNKCheckConnect;
    writeLog = VLNKWriteLog;
#else
    library = dlopen(VLNK_LIBRARY_PATH, RTLD_NOW | RTLD_LOCAL);
    if (!library) {
        fprintf(stderr, "dlopen: %s\n", dlerror());
        return 0;
    }
    openChannel = (int (*)(int, const char*))dlsym(library, "VLNKOpenChannel");
    closeChannel = (int (*)(int))dlsym(library, "VLNKCloseChannel");
    writeLog = (void (*)(int, const char*))dlsym(library, "VLNKWriteLog");
    checkConnect = (int (*)(int, int))dlsym(library, "VLNKCheckConnect");
#endif
    return openChannel && closeChannel && writeLog && checkConnect;
}

/* The handheld's end of a pseudo-terminal; it stays open so the port never
   hangs up. */
static char port[128];
static int MakePort(void)
{
    const int master = posix_openpt(O_RDWR | O_NOCTTY);
    if (master < 0 || grantpt(master) != 0 || unlockpt(master) != 0) return 0;
    return ptsname_r(master, port, sizeof port) == 0;
}

static int OpenOnPort(void)
{
    const int result = openChannel(1, port);
    if (result != VLNK_OK) fprintf(stderr, "VLNKOpenChannel: %d\n", result);
    return result == VLNK_OK;
}

static void* OpenOnThread(void* unused)
{
    (void)unused;
    return OpenOnPort() ? (void*)1 : NULL;
}

/* Calls the main thread has begun so far. */
static atomic_int calls;

static void* ExitDuringCall(void* unused)
{
    (void)unused;
    while (atomic_load(&calls) < 2) sched_yield();
    exit(0);
}

static void* ExitOnThread(void* unused)
{
    (void)unused;
    writeLog(0, "exit on a second thread");
    exit(0);
}

int main(int argc, char** argv)
{
    if (argc < 2) return 2;
    const char* scenario = argv[1];
    const int unload = argc > 2 && strcmp(argv[2], "unload") == 0;
    if (!Load() || !MakePort()) return 3;
    writeLog(0, scenario);

    if (strcmp(scenario, "closed") == 0 || strcmp(scenario, "open") == 0) {
        if (!OpenOnPort()) return 4;
        if (strcmp(scenario, "closed") == 0 && closeChannel(1) != VLNK_OK) return 5;
    } else if (strcmp(scenario, "thread-open") == 0) {
        pthread_t thread;
        void* opened = NULL;
        if (pthread_create(&thread, NULL, OpenOnThread, NULL) != 0 || pthread_join(thread, &opened) != 0) return 6;
        if (!opened) return 4;
    } else if (strcmp(scenario, "exit-on-thread") == 0) {
        if (!OpenOnPort()) return 4;
        pthread_t thread;
        if (pthread_create(&thread, NULL, ExitOnThread, NULL) != 0) return 6;
        pthread_join(thread, NULL); /* never returns: the process ends on the other thread */
        return 7;
    } else if (strcmp(scenario, "exit-during-call") == 0) {
        if (!OpenOnPort()) return 4;
        pthread_t thread;
        if (pthread_create(&thread, NULL, ExitDuringCall, NULL) != 0) return 6;
        /* Nobody answers on the port: each quick probe waits inside the
           library until the session is gone. */
        do atomic_fetch_add(&calls, 1);
        while (checkConnect(1, 1) != VLNK_BAD_CHANNEL);
        /* The process ends on the other thread. */
        pthread_join(thread, NULL);
        return 7;
    } else if (strcmp(scenario, "idle") != 0) {
        return 2;
    }
#ifndef VLNK_LINKED
    if (unload && dlclose(library) != 0) return 8;
#else
    (void)library;
    if (unload) return 2;
#endif
    return 0;
}
