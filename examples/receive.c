// SPDX-License-Identifier: LGPL-2.1-or-later
/*
 * receive: fetch one survey from a Logato handheld with libvlnkw32.
 *
 *   receive PORT [HANDHELD-FOLDER [PC-FOLDER [FILE]]]
 *
 * Opens a channel on PORT ("COM1", mapped in section [Ports] of vlnkw.ini,
 * or a device path such as /dev/ttyUSB0), checks that the handheld answers,
 * changes to HANDHELD-FOLDER (default \TRE\DATEN), lists its files, receives
 * FILE (default: the first file of the listing) into PC-FOLDER (default: the
 * current folder) and closes the channel. Progress goes to standard output
 * as lines "progress <percent> <done> of <total>".
 *
 * Every call that talks to the handheld returns VLNK_WAITING at once; the
 * result is then polled with VLNKGetResult on the same thread. Those calls
 * also drive the library, so the loop below must not block for long.
 *
 * Build:  cc -std=c99 receive.c $(pkg-config --cflags --libs vlnkw32)
 * or with CMake: find_package(vlnkw32 CONFIG REQUIRED), see CMakeLists.txt.
 * Exit status: 0 on success, else the library's result code (at most 255).
 */
#define _POSIX_C_SOURCE 200809L

#include <stdio.h>
#include <stdlib.h>
#include <string.h>
#include <time.h>

#include <vlnkw32.h>

/* Polls the running command until it has a result. Each VLNK_WAITING
   means "ask again"; a short pause keeps the loop from spinning. */
static int await_result(int channel, int* value, char* text)
{
    const struct timespec pause = {0, 5 * 1000 * 1000};
    int result;
    while ((result = VLNKGetResult(channel, value, text)) == VLNK_WAITING) {
        nanosleep(&pause, NULL);
    }
    return result;
}

static int fail(const char* what, int result)
{
    char text[VLNK_ERROR_TEXT_SIZE];
    VLNKGetErrorString(result, text);
    fprintf(stderr, "receive: %s: %03d %s\n", what, result, text);
    return result > 255 ? 255 : result;
}

/* A directory line: the name in its first 12 columns, then the size, then
   seven attribute columns "AHNRDSV" (blank when clear) and the date. */
static int is_plain_file(const char* line) { return strlen(line) > 27 && line[27] != 'D'; }

static void name_of(const char* line, char* name, size_t size)
{
    size_t n = 0;
    while (n + 1 < size && n < 12 && line[n] != '\0' && line[n] != ' ') {
        name[n] = line[n];
        ++n;
    }
    name[n] = '\0';
}

/* Lists the current handheld folder and picks `wanted`, or the first file
   when `wanted` is NULL. The listing always runs to its end (VLNK_CHANNEL_IDLE),
   so the channel is free for the next command. */
static int list_files(int channel, const char* wanted, char* chosen, size_t size)
{
    char line[VLNK_TEXT_SIZE];
    int left = 0;
    int result = VLNKGetDirectory(channel, "*.*");
    if (result != VLNK_WAITING) return result;
    chosen[0] = '\0';
    while ((result = await_result(channel, &left, line)) == VLNK_OK) {
        char name[13];
        printf("  %s\n", line);
        name_of(line, name, sizeof name);
        if (chosen[0] == '\0' && is_plain_file(line) && (!wanted || strcmp(name, wanted) == 0)) {
            snprintf(chosen, size, "%s", name);
        }
    }
    return result == VLNK_CHANNEL_IDLE ? VLNK_OK : result;
}

static int receive_file(int channel, const char* path)
{
    char text[VLNK_TEXT_SIZE] = "";
    int percent = 0;
    int shown = -1;
    int result = VLNKReceiveFile(channel, path);
    if (result != VLNK_WAITING) return result;
    /* While the transfer runs, each poll reports the percentage in `value`
       and "<done> of <total>" bytes in `text`. */
    while ((result = VLNKGetResult(channel, &percent, text)) == VLNK_WAITING) {
        if (percent != shown && strchr(text, '?') == NULL) {
            printf("progress %d %s\n", percent, text);
            fflush(stdout);
            shown = percent;
        }
        const struct timespec pause = {0, 5 * 1000 * 1000};
        nanosleep(&pause, NULL);
    }
    if (result == VLNK_OK && shown != 100) printf("progress 100 done\n");
    return result;
}

int main(int argc, char** argv)
{
    if (argc < 2 || argc > 5) {
        fprintf(stderr, "usage: receive PORT [HANDHELD-FOLDER [PC-FOLDER [FILE]]]\n");
        return 1;
    }
    const char* port = argv[1];
    const char* folder = argc > 2 ? argv[2] : "\\TRE\\DATEN";
    const char* pcFolder = argc > 3 ? argv[3] : ".";
    const char* wanted = argc > 4 ? argv[4] : NULL;

    char version[VLNK_VERSION_TEXT_SIZE];
    VLNKGetVersion(version);
    printf("%s\n", version);

    int channel = 0;
    int result = VLNKGetFreeChannel(&channel);
    if (result != VLNK_OK) return fail("no free channel", result);
    result = VLNKOpenChannel(channel, port);
    if (result != VLNK_OK) return fail(port, result);

    /* From here on every way out closes the channel. */
    char text[VLNK_TEXT_SIZE];
    int value = 0;
    char name[13];
    char path[4096];
    const char* step = "connect";
    result = VLNKCheckConnect(channel, 0);
    if (result == VLNK_WAITING) result = await_result(channel, &value, text);
    if (result == VLNK_OK) {
        printf("handheld answers at %s baud\n", text);
        step = "change folder";
        result = VLNKSetDirectory(channel, folder);
        if (result == VLNK_WAITING) result = await_result(channel, &value, text);
    }
    if (result == VLNK_OK) {
        step = "list files";
        result = list_files(channel, wanted, name, sizeof name);
        if (result == VLNK_OK && name[0] == '\0') result = VLNK_FILE_NOT_FOUND;
    }
    if (result == VLNK_OK) {
        /* The handheld's file name is the last part of the PC path. */
        step = "receive";
        snprintf(path, sizeof path, "%s/%s", pcFolder, name);
        result = receive_file(channel, path);
        if (result == VLNK_OK) printf("received %s\n", path);
    }
    const int closed = VLNKCloseChannel(channel);
    if (result != VLNK_OK) return fail(step, result);
    if (closed != VLNK_OK) return fail("close", closed);
    return 0;
}
