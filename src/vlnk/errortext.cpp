// SPDX-License-Identifier: LGPL-2.1-or-later
#include "errortext.h"

namespace vlnk {
namespace {

struct ErrorEntry {
    int code;
    const char* text;
};

// Looked up in order; the 999 entry ends the table.
constexpr ErrorEntry kErrors[] = {
    {0, "Command successful"},
    {201, "Channel already in use"},
    {202, "Trying to access channel that is not in use"},
    {203, "Invalid channel number (valid are 1 to 8)"},
    {204, "Failed to open port"},
    {205, "Failed to close the specific port"},
    {206, "Could not enable comms notification from Windows"},
    {207, "Could not disable comms notification from Windows"},
    {208, "Could not initialise the com port"},
    {209, "Already doing command for this channel"},
    {210, "This channel is not doing anything"},
    {211, "Remote did not respond within time allowed"},
    {212, "No response from handheld"},
    {213, "VLNKW is waiting for response or timeout"},
    {214, "Failed to open our comms window"},
    {215, "Failed to send string to port"},
    {216, "Receive failure when trying to receive file"},
    {217, "Windows comms error"},
    {218, "Invalid baud rate passed to VLNKSetBaudRate()"},
    {219, "Could not SetDrive"},
    {220, "Could not find directory"},
    {221, "Could not set the date"},
    {222, "Could not set the time"},
    {223, "Invalid filename to transmit/receive"},
    {224, "Cannot find file to transmit/receive"},
    {225, "Could not open file to transmit/receive"},
    {226, "Handheld has no disk space or file read-only"},
    {227, "PC has no disk space left"},
    {228, "PC has no rights to overwrite file"},
    {229, "User stopped communications"},
    {230, "Invalid machine type for software download"},
    {231, "Cannot find download file on path"},
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
    {300, "Only one session of CMDVLNK allowed"},
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
