/* SPDX-License-Identifier: LGPL-2.1-or-later */
/*
 * vlnkw32 - serial link to Logato handheld terminals.
 *
 * Every export returns an int result code and never throws. Every operation
 * that talks to the handheld starts with an export that returns
 * VLNK_WAITING (213); the caller then calls VLNKGetResult() in a loop on the
 * same thread until the result is something else. Those calls also run the
 * library: they dispatch its timers and line notifications.
 *
 * The channels belong to the thread that opened the first of the channels
 * open: every call that reaches the channels (all exports but VLNKGetVersion,
 * VLNKGetErrorString and VLNKCMDMessageHdlr) made on any other thread returns
 * VLNK_WRONG_THREAD (232) and changes nothing; VLNKWriteLog and
 * VLNKMessageHdlr, which return no code, do nothing there. Once no channel is
 * open, any thread may open one and so become the owner.
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
    VLNK_NO_DOWNLOAD_FILE = 231,
    VLNK_WRONG_THREAD = 232
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

/* ---- Reference ---------------------------------------------------------------
 *
 * "At once": the export does its whole work in the call and returns the
 * final result. "Polled": the export starts a command on the channel and
 * returns 213 (VLNK_WAITING); the caller then calls VLNKGetResult(channel,
 * &value, text) until it returns anything but 213, which is the command's
 * final result, delivered once. One command runs on a channel at a time;
 * channels run independently.
 *
 * Every polled start refuses at once, leaving the channel idle, with
 *   203 channel outside 1..VLNK_CHANNELS,  202 channel not open,
 *   232 called on another thread than the channels' owner,
 *   209 a command already runs on the channel (that one goes on),
 *   217 the port's device went away (the channel can only be closed),
 * and with the refusals named at the export. Every final result may also be
 * 211 (the handheld did not answer within the retries of vlnkw.ini).
 *
 * A reply whose length does not fit the request (an entry count is two
 * bytes, a directory entry at least 22) is a bad frame and asked for again.
 * The command after one that ended with 211, 216, 217, 223 or 229, or was
 * cancelled, first re-establishes the link inside its start: it waits until
 * the line has been quiet for RetryTimeout ms, ends a transfer the handheld
 * may still be in (as a failed transfer ends) and asks ENQ until the
 * handheld answers; then it goes ahead either way.
 */

/* At once. Writes "Vexil VLNK for Windows DLL (32 bit) V0.99b  <maker
   notice>" into buf, which must hold VLNK_VERSION_TEXT_SIZE bytes. Returns
   the number of characters written (0 for a null buf). */
VLNK_API int VLNKGetVersion(char* buf);

/* At once. 0 and *channel = the lowest closed channel; 201 and *channel = 0
   when all are open; 203 for a null pointer. Does not open the channel. */
VLNK_API int VLNKGetFreeChannel(int* channel);

/* At once. Opens a port on a channel: "COMn" (mapped through section "Ports"
   of vlnkw.ini, else /dev/ttyS<n-1>) or a device path of at most 21
   characters. 0; 201 already open; 203 bad channel; 204 the port cannot be
   opened or its name is too long; 214 the library's message window failed. */
VLNK_API int VLNKOpenChannel(int channel, const char* port);

/* At once. Cancels what runs on the channel, as VLNKCancel does, and closes
   its port: 0; 202 not open; 203 bad channel; 205 the port did not close
   cleanly (the channel is closed all the same). */
VLNK_API int VLNKCloseChannel(int channel);

/* Connect probe: finds the handheld's baud rate (the remembered one first,
   then 115200 down to 2400) and whether a cable or an infrared adapter is in
   between.
   quick = 0: polled. Final text: the baud rate text at which the handheld
   answered, which is remembered for the port; final 0 or 211.
   quick != 0: at once, at the current rate, without the busy test: 0 when
   the handheld answered, 212 when not, or 202/203/217. */
VLNK_API int VLNKCheckConnect(int channel, int quick);

/* Polled. Final 0 with text = the handheld's session number in decimal.
   text may be null (the result is then only logged). */
VLNK_API int VLNKGetSessionId(int channel);

/* Polled. Final 0 with text = the handheld's current drive and path.
   text may be null. */
VLNK_API int VLNKGetPath(int channel);

/* Polled. drive: the handheld's drive number, passed on as given. Final 0
   with text = the free bytes in decimal. text may be null. */
VLNK_API int VLNKGetFreeSpace(int channel, int drive);

/* Polled. Final 0 with text = the handheld's list of drives as it sends it.
   text may be null. */
VLNK_API int VLNKGetDrives(int channel);

/* Polled. Lists the handheld files matching pattern (at most 80 characters;
   longer: 223 at once) in the current directory. Each following poll that
   returns 0 hands out one line in text (VLNK_TEXT_SIZE bytes) with value =
   the lines left including this one; after the last line the result is 210
   (VLNK_CHANNEL_IDLE), which ends the listing. A line is the name in 12
   columns, a blank, the size in 9 columns, a blank, the attribute letters
   "AHNRDSV" in 7 columns (blank when clear; 'D' in column 28 marks a
   directory) and the date "dd/mm/yy hh:mm". Final errors: 211, 223 (the
   handheld sent a name with a path separator or ".."). */
VLNK_API int VLNKGetDirectory(int channel, const char* pattern);

/* Polled. drive: 1 = A, 2 = B, ... Final 0 or 219. */
VLNK_API int VLNKSetDrive(int channel, int drive);

/* Polled. dir: the handheld's directory in DOS form ("\TRE\DATEN"); a
   text too long for one frame gives 220 at once. Final 0 or 220 (no such
   directory). */
VLNK_API int VLNKSetDirectory(int channel, const char* dir);

/* Polled. baud: "1200", "2400", "4800", "9600", "19200" or "38400" exactly;
   anything else gives 218 at once. On success the port follows and the rate
   is remembered for it. Final 0 or 211. */
VLNK_API int VLNKSetBaudRate(int channel, const char* baud);

/* Polled. Sets the handheld's date from the PC's local clock. Final 0 or 221. */
VLNK_API int VLNKSetHandheldDate(int channel);

/* Polled. Sets the handheld's time from the PC's local clock. Final 0 or 222. */
VLNK_API int VLNKSetHandheldTime(int channel);

/* Polled. Sends the PC file pcPath into the handheld's current directory,
   under its file name in capitals. At once: 223 empty name or wildcards,
   224 no such file, 225 it cannot be opened. While it runs each poll may
   set value = percent done and text = "<done> of <total>" (bytes). Final 0,
   211, 226 (handheld full or the file read-only there), 229 (cancelled). */
VLNK_API int VLNKTransmitFile(int channel, const char* pcPath);

/* Polled. Receives the handheld file named by the last part of pcPath (in
   capitals) from its current directory into pcPath. The file is written
   under a temporary name and renamed when complete: after any failure
   pcPath is as it was. At once: 223 empty name, wildcards or a name that
   leaves its folder ("..", "\"), 228 pcPath exists and is not writable.
   Progress as VLNKTransmitFile ("0 of ?" until the size is known). Final 0,
   211, 216, 224 (no such handheld file), 225, 227 (PC disk full), 229
   (cancelled).
   Every frame carries only an 8-bit sum of its bytes: it misses changes that
   cancel out in the sum (one byte +d, another -d), so on a noisy line a file
   of the right size can arrive with wrong bytes and 0. Verification reads the
   file again and succeeds only when two consecutive reads agree byte for
   byte (at most three reads, else final 216 and pcPath as it was); progress
   then counts the bytes of all reads. It is on when vlnkw.ini says
   "[Protocol] VerifyReceive=1" (default 0) or VLNKSetVerifyReceive says so. */
VLNK_API int VLNKReceiveFile(int channel, const char* pcPath);

/* At once. Whether the channel's receives verify the file by reading it
   twice (see VLNKReceiveFile): verify > 0 yes, 0 no, < 0 as vlnkw.ini says
   (the default). Lasts until the channel closes; a receive already running
   keeps its choice. 0; 202 not open; 203 bad channel; 232. */
VLNK_API int VLNKSetVerifyReceive(int channel, int verify);

/* Polled. Deletes a file in the handheld's current directory; a name too
   long for one frame gives 223 at once. Final 0 or 224 (no such file). */
VLNK_API int VLNKDeleteFile(int channel, const char* name);

/* Polled. Ends the handheld's transfer program. Final 0 or 211. */
VLNK_API int VLNKAbortRemote(int channel);

/* Polled. Sends the firmware to a handheld in its loader, always at 2400
   baud. machine: 1 VARDEN, 2 ORLE, 3 VARDEN16, 4 XT2. At once: 230 other
   machine number, 231 the image is neither in the library folder nor on
   PATH, 225 it cannot be opened. Progress as VLNKTransmitFile. Final 0 or
   229 (cancelled). */
VLNK_API int VLNKSoftwareDownload(int channel, int machine);

/* Polled. Scans the COM ports for the handheld configured with user number
   user. *channel receives the slot taken, which the caller closes with
   VLNKCloseChannel whatever the outcome. At once: 201 no free channel, 203
   null pointer, 212 no COM port to scan, 214 message window failed. Final 0
   with value = the battery percent (-1 when not reported) and text = the
   free-space text, the port staying open at 2400 baud; or 212 (no handheld
   of that user found). */
VLNK_API int VLNKPollUser(int* channel, int user);

/* Dispatches at most one pending library message, then asks the channel's
   active command for its result: 203 bad channel, 210 when idle, 213 while
   working, else the final result (delivered once; the channel is then idle).
   text must hold VLNK_TEXT_SIZE bytes; value and text may be null where the
   command says so. Must be called on the thread that owns the channels
   (232 elsewhere), over and over while 213: these calls run the library's
   timers and line notifications. */
VLNK_API int VLNKGetResult(int channel, int* value, char* text);

/* At once. Stops the active command: 0; 202 not open; 203 bad channel; 210
   idle. Transfers end at their next block and then deliver 229 through
   VLNKGetResult, at the latest at the first poll one second after the
   cancel (a silent line); every other command is idle when this returns. */
VLNK_API int VLNKCancel(int channel);

/* At once. Writes "APP:<text>" to the log under the channel (0: blank
   column). Texts longer than VLNK_LOG_TEXT_MAX are cut, and the cut is
   logged. */
VLNK_API void VLNKWriteLog(int channel, const char* text);

/* At once. Writes the English text of a result code ("INVALID ERROR NUMBER
   (n)" for an unknown one); buf must hold VLNK_ERROR_TEXT_SIZE bytes.
   Returns the number of characters written (0 for a null buf). */
VLNK_API int VLNKGetErrorString(int code, char* buf);

/* At once: runs a whole transfer job from one command line and returns when
   it is over. "/PORT=n" or "/PORT=<device>", or "/U=<user>" (poll the COM
   ports for that user), else the port of the last run; then "/TX=", "/RX=",
   "/DEL=", "/CD=", "/DATE", "/TIME" in order, "/ABORT",
   "/DOWNLOAD=<handheld>", "/NOSCREEN", "/MINIMIZE". PC paths are written in
   DOS form ("\" between folders, a drive letter ignored), because "/"
   separates the commands. Results: 0, the VlnkCmdResult codes, 201, 214 and
   the codes of the commands it runs.
   The result also goes to "vlnkw.end" in the library folder as one line
   "%03d <text>". 300 at once while another CMDVLNK runs in the process. Shows
   its progress on standard error only when that is a terminal; there Ctrl+C
   cancels the job (22), unless the program handles SIGINT itself. On
   another thread than the one that owns the library's open channels: 232,
   and no result file. */
VLNK_API int CMDVLNK(const char* commandLine);

/* Procedure of the CMDVLNK progress display: VLNK_WM_COMMAND with
   VLNK_IDCANCEL cancels the running job and returns 1; all else returns 0.
   Safe to call from a signal handler or another thread. */
VLNK_API intptr_t VLNKCMDMessageHdlr(VLNK_HWND hwnd, unsigned int msg, uintptr_t wParam, intptr_t lParam);

/* Window procedure of the library's message window. Callers normally never
   call it; it is exported so that a caller can feed it messages itself:
   VLNK_WM_TIMER and VLNK_WM_COMMNOTIFY drive the matching channel, anything
   else is ignored. Returns 0. */
VLNK_API intptr_t VLNKMessageHdlr(VLNK_HWND hwnd, unsigned int msg, uintptr_t wParam, intptr_t lParam);

#ifdef __cplusplus
}
#endif

#endif /* VLNKW32_H */
