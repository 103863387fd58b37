/*
 * vlnkw32 - serial link to Logato handheld terminals.
 *
 * Every export returns an int result code and never throws. Every operation
 * that talks to the handheld starts with an export that returns
 * VLNK_WAITING (213); the caller then calls VLNKGetResult() in a loop on the
 * same thread until the result is something else. Those calls also run the
 * library: they dispatch its timers and line notifications.
 *
 * All calls must come from the thread that opened the first channel.
 * Texts are 8-bit, NUL-terminated. The library never allocates memory for the
 * caller: every text goes into a caller-owned buffer of the size named below.
 *
 * Settings live in "vlnkw.ini" and the log in "VLNKW.LOG", both in the
 * library folder: $VLNK_DIR, else $XDG_CONFIG_HOME/vlnk, else ~/.config/vlnk.
 */
#ifndef VLNKW32_H
#define VLNKW32_H

#include <stdint.h>

#if defined(_WIN32)
#define VLNK_API __declspec(dllexport)
#else
#define VLNK_API __attribute__((visibility("default")))
#endif

#ifdef __cplusplus
extern "C" {
#endif

/* Caller buffer sizes, in bytes including the terminating NUL. */
#define VLNK_TEXT_SIZE 257         /* text of VLNKGetResult: a reply payload of up to 256 bytes */
#define VLNK_ERROR_TEXT_SIZE 50    /* VLNKGetErrorString: the longest text has 49 characters */
#define VLNK_VERSION_TEXT_SIZE 128 /* VLNKGetVersion */
#define VLNK_LOG_TEXT_MAX 127      /* VLNKWriteLog: longer texts are cut, and the cut is logged */
#define VLNK_CHANNELS 8            /* channels are numbered 1 to VLNK_CHANNELS */

/* Result codes. */
enum VlnkResult {
    VLNK_OK = 0,
    VLNK_CHANNEL_IN_USE = 201,
    VLNK_CHANNEL_NOT_OPEN = 202,
    VLNK_BAD_CHANNEL = 203,
    VLNK_OPEN_PORT_FAILED = 204,
    VLNK_CLOSE_PORT_FAILED = 205,
    VLNK_ENABLE_NOTIFY_FAILED = 206,
    VLNK_DISABLE_NOTIFY_FAILED = 207,
    VLNK_SETUP_FAILED = 208,
    VLNK_CHANNEL_BUSY = 209,
    VLNK_CHANNEL_IDLE = 210,
    VLNK_REMOTE_TIMEOUT = 211,
    VLNK_NO_RESPONSE = 212,
    VLNK_WAITING = 213,
    VLNK_WINDOW_FAILED = 214,
    VLNK_SEND_FAILED = 215,
    VLNK_RECEIVE_FAILED = 216,
    VLNK_COMMS_ERROR = 217,
    VLNK_BAD_BAUD = 218,
    VLNK_SET_DRIVE_FAILED = 219,
    VLNK_NO_DIRECTORY = 220,
    VLNK_SET_DATE_FAILED = 221,
    VLNK_SET_TIME_FAILED = 222,
    VLNK_BAD_FILENAME = 223,
    VLNK_FILE_NOT_FOUND = 224,
    VLNK_FILE_OPEN_FAILED = 225,
    VLNK_HANDHELD_FULL = 226,
    VLNK_PC_FULL = 227,
    VLNK_PC_NO_RIGHTS = 228,
    VLNK_USER_STOPPED = 229,
    VLNK_BAD_MACHINE = 230,
    VLNK_NO_DOWNLOAD_FILE = 231
};

/* Messages of the library's message window, as VLNKMessageHdlr receives them. */
#define VLNK_WM_COMMNOTIFY 0x0044 /* wParam: port handle; lParam: non-zero */
#define VLNK_WM_TIMER 0x0113      /* wParam: timer id = channel number */

/* The Cancel command of the CMDVLNK progress display, as VLNKCMDMessageHdlr receives it. */
#define VLNK_WM_COMMAND 0x0111 /* wParam: the command id in its low 16 bits */
#define VLNK_IDCANCEL 2

/* Result codes of CMDVLNK besides 0, 201, 214 and the codes it passes through. */
enum VlnkCmdResult {
    VLNK_CMD_BAD_COMMAND_LINE = 1,
    VLNK_CMD_BAD_PORT = 3,
    VLNK_CMD_BAD_FILENAME = 6,
    VLNK_CMD_NO_IMAGE = 8,
    VLNK_CMD_OPEN_FAILED = 10,
    VLNK_CMD_COMMS_FAILED = 12,
    VLNK_CMD_NOT_CONNECTED = 20,
    VLNK_CMD_CANCELLED = 22,
    VLNK_CMD_WRITE_FAILED = 24,
    VLNK_CMD_CD_FAILED = 26,
    VLNK_CMD_FILE_NOT_FOUND = 28,
    VLNK_CMD_RUNNING = 300
};

typedef void* VLNK_HWND;

/* Writes the product and version text; buf must hold VLNK_VERSION_TEXT_SIZE.
   Returns the number of characters written. */
VLNK_API int VLNKGetVersion(char* buf);

/* 0 and *channel = the lowest closed channel; 201 and *channel = 0 when all are open;
   203 for a null pointer.
   Does not open the channel. */
VLNK_API int VLNKGetFreeChannel(int* channel);

/* Opens a port on a channel: "COMn" (mapped through section "Ports" of the ini
   file, else /dev/ttyS<n-1>) or a device path of at most 21 characters.
   0, 201 (already open), 203, 204 (port failed or name too long), 214. */
VLNK_API int VLNKOpenChannel(int channel, const char* port);

/* Cancels what runs on the channel and closes its port: 0, 202, 203, 205. */
VLNK_API int VLNKCloseChannel(int channel);

/* Connect probe. quick = 0: 213, 202, 209, final text = the baud rate text.
   quick != 0: synchronous, 0, 202 or 212. */
VLNK_API int VLNKCheckConnect(int channel, int quick);
VLNK_API int VLNKGetSessionId(int channel);
VLNK_API int VLNKGetPath(int channel);
VLNK_API int VLNKGetFreeSpace(int channel, int drive);
VLNK_API int VLNKGetDrives(int channel);
/* One directory line per VLNKGetResult (value = lines left including this one), then 210. */
VLNK_API int VLNKGetDirectory(int channel, const char* pattern);
VLNK_API int VLNKSetDrive(int channel, int drive);
VLNK_API int VLNKSetDirectory(int channel, const char* dir);
VLNK_API int VLNKSetBaudRate(int channel, const char* baud);
VLNK_API int VLNKSetHandheldDate(int channel);
VLNK_API int VLNKSetHandheldTime(int channel);
VLNK_API int VLNKTransmitFile(int channel, const char* pcPath);
VLNK_API int VLNKReceiveFile(int channel, const char* pcPath);
VLNK_API int VLNKDeleteFile(int channel, const char* name);
VLNK_API int VLNKAbortRemote(int channel);
VLNK_API int VLNKSoftwareDownload(int channel, int machine);
/* Scans the COM ports for the handheld of a user; *channel receives the slot
   taken, which the caller closes with VLNKCloseChannel whatever the outcome. */
VLNK_API int VLNKPollUser(int* channel, int user);

/* Dispatches at most one pending library message, then asks the channel's
   active command for its result: 203, 210 when idle, 213 while working, else
   the final result (delivered once). text must hold VLNK_TEXT_SIZE bytes;
   value and text may be null where the command tolerates it. */
VLNK_API int VLNKGetResult(int channel, int* value, char* text);

/* Stops the active command: 0, 202, 203, 210 (idle). Transfers end at their
   next block and then report 229. */
VLNK_API int VLNKCancel(int channel);

/* Writes "APP:<text>" to the log under the channel (0: blank column). */
VLNK_API void VLNKWriteLog(int channel, const char* text);

/* Writes the text of a result code; buf must hold VLNK_ERROR_TEXT_SIZE.
   Returns the number of characters written. */
VLNK_API int VLNKGetErrorString(int code, char* buf);

/* Runs a whole transfer job from one command line and returns when it is over:
   "/PORT=n" or "/PORT=<device>", or "/U=<user>" (poll the COM ports for that
   user), else the port of the last run; then "/TX=", "/RX=", "/DEL=", "/CD=",
   "/DATE", "/TIME" in order, "/ABORT", "/DOWNLOAD=<handheld>", "/NOSCREEN",
   "/MINIMIZE". PC paths are written in DOS form ("\" between folders, a drive
   letter ignored), because "/" separates the commands.
   The result also goes to "vlnkw.end" in the library folder as one line
   "%03d <text>". 300 at once while another CMDVLNK runs in the process. Shows
   its progress on standard error only when that is a terminal; there Ctrl+C
   cancels the job (22), unless the program handles SIGINT itself. Must be
   called on the thread that owns the library's channels, if any are open. */
VLNK_API int CMDVLNK(const char* commandLine);

/* Procedure of the CMDVLNK progress display: VLNK_WM_COMMAND with
   VLNK_IDCANCEL cancels the running job and returns 1; all else returns 0.
   Safe to call from a signal handler or another thread. */
VLNK_API intptr_t VLNKCMDMessageHdlr(VLNK_HWND hwnd, unsigned int msg, uintptr_t wParam, intptr_t lParam);

/* Window procedure of the library's message window. Callers normally never
   call it; it is exported so that a caller can feed it messages itself. */
VLNK_API intptr_t VLNKMessageHdlr(VLNK_HWND hwnd, unsigned int msg, uintptr_t wParam, intptr_t lParam);

#ifdef __cplusplus
}
#endif

#endif /* VLNKW32_H */
