// SPDX-License-Identifier: LGPL-2.1-or-later
#include "errortext.h"

#include "vlnkw32.h"

namespace vlnk {
namespace {

struct ErrorEntry {
    int code;
    const char* text;
};

// Looked up in order; the 999 entry ends the table.
constexpr ErrorEntry kErrors[] = {
    {0, "Command successful"},
    {VLNK_CHANNEL_IN_USE, "Channel already in use"},
    {VLNK_CHANNEL_NOT_OPEN, "Trying to access channel that is not in use"},
    {VLNK_BAD_CHANNEL, "Invalid channel number (valid are 1 to 8)"},
    {VLNK_OPEN_PORT_FAILED, "Failed to open port"},
    {VLNK_CLOSE_PORT_FAILED, "Failed to close the specific port"},
    {VLNK_ENABLE_NOTIFY_FAILED, "Could not enable comms notification from Windows"},
    {VLNK_DISABLE_NOTIFY_FAILED, "Could not disable comms notification from Windows"},
    {VLNK_SETUP_FAILED, "Could not initialise the com port"},
    {VLNK_CHANNEL_BUSY, "Already doing command for this channel"},
    {VLNK_CHANNEL_IDLE, "This channel is not doing anything"},
    {VLNK_REMOTE_TIMEOUT, "Remote did not respond within time allowed"},
    {VLNK_NO_RESPONSE, "No response from handheld"},
    {VLNK_WAITING, "VLNKW is waiting for response or timeout"},
    {VLNK_WINDOW_FAILED, "Failed to open our comms window"},
    {VLNK_SEND_FAILED, "Failed to send string to port"},
    {VLNK_RECEIVE_FAILED, "Receive failure when trying to receive file"},
    {VLNK_COMMS_ERROR, "Windows comms error"},
    {VLNK_BAD_BAUD, "Invalid baud rate passed to VLNKSetBaudRate()"},
    {VLNK_SET_DRIVE_FAILED, "Could not SetDrive"},
    {VLNK_NO_DIRECTORY, "Could not find directory"},
    {VLNK_SET_DATE_FAILED, "Could not set the date"},
    {VLNK_SET_TIME_FAILED, "Could not set the time"},
    {VLNK_BAD_FILENAME, "Invalid filename to transmit/receive"},
    {VLNK_FILE_NOT_FOUND, "Cannot find file to transmit/receive"},
    {VLNK_FILE_OPEN_FAILED, "Could not open file to transmit/receive"},
    {VLNK_HANDHELD_FULL, "Handheld has no disk space or file read-only"},
    {VLNK_PC_FULL, "PC has no disk space left"},
    {VLNK_PC_NO_RIGHTS, "PC has no rights to overwrite file"},
    {VLNK_USER_STOPPED, "User stopped communications"},
    {VLNK_BAD_MACHINE, "Invalid machine type for software download"},
    {VLNK_NO_DOWNLOAD_FILE, "Cannot find download file on path"},
    {VLNK_WRONG_THREAD, "Channel belongs to another thread"},
    {1, "Invalid command line parameters"},
    {3, "Invalid port command"},
    {6, "Invalid filename specified in the command file"},
    {7, "Invalid handheld passed in with /DOWNLOAD="},
    {8, "Could not find VLNK software to download"},
    {10, "Unable to open file"},
    {11, "Cannot read file"},
    {12, "Fail to do comms"},
    {20, "Remote not connected"},
    {22, "User stopped communications"},
    {24, "Could not write receive file"},
    {26, "Failed the CD command"},
    {28, "Could not find file"},
    {VLNK_CMD_RUNNING, "Only one session of CMDVLNK allowed"},
    {999, nullptr},
};

} // namespace

std::string ErrorText(int code)
{
    for (const ErrorEntry* entry = kErrors; entry->code != 999; ++entry)
        if (entry->code == code) return entry->text;
    return "INVALID ERROR NUMBER (" + std::to_string(code) + ")";
}

} // namespace vlnk
