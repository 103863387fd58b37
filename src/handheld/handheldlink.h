// SPDX-License-Identifier: GPL-3.0-or-later
// A handheld as the transfer dialog sees it: a channel to it, and
// operations that start at once and are polled to their end, so the dialog
// keeps painting while one runs. Its directory comes as structured entries.
// The one implementation today speaks over the serial-link library
// (vlnklink.h); a second handheld is another implementation of this.
#pragma once

#include <memory>
#include <string>
#include <string_view>

namespace treshandheld {

enum class EState { Done, Waiting, Failed };

// Where an operation stands; `code` names a failure for FailureText.
struct CStep {
    EState state = EState::Done;
    int code = 0;
    bool Waiting() const { return state == EState::Waiting; }
    bool Done() const { return state == EState::Done; }
};

struct CDirEntry {
    std::string name; // as the handheld lists it, without trailing blanks
    unsigned long size = 0;
    bool bDirectory = false;
    std::string date; // "dd/mm/yy hh:mm"
};

class CHandheld {
public:
    virtual ~CHandheld() = default;

    virtual std::string Version() = 0;
    // Where the handheld keeps its surveys and how their names look: the
    // folder in DOS form ("\\TRE\\DATEN"), the pattern it lists them by
    // ("*.TSD"), and both as the dialog shows them to the user.
    virtual std::string SurveyFolder() const = 0;
    virtual std::string SurveyPattern() const = 0;
    virtual std::string SurveyPlace() const = 0;
    // A channel of its own; false when none is free. Channel() is 0 without.
    virtual bool TakeChannel() = 0;
    virtual int Channel() const = 0;
    virtual bool OpenPort(const std::string& port) = 0; // "COM1", "COM2"
    // The port closed; the channel stays taken until Release.
    virtual void ClosePort() = 0;
    virtual void Release() = 0;

    // Each starts an operation; Poll follows it until it is no longer waiting.
    virtual CStep CheckConnect() = 0;
    virtual CStep SetDirectory(const std::string& dir) = 0; // DOS form, "\TRE\DATEN"
    virtual CStep FreeSpace() = 0;                          // the free bytes as text
    virtual void SetVerifyReceive(bool twice) = 0;
    virtual CStep Receive(const std::string& name) = 0; // into the current folder
    virtual CStep Delete(const std::string& name) = 0;
    // The listing: after it started, each NextEntry that is Done gives one
    // entry; it ends with Failed (code 0 when all entries were given).
    virtual CStep ListFiles(const std::string& pattern) = 0;
    virtual CStep NextEntry(CDirEntry& entry) = 0;
    // Ends the running operation the way the handheld is told; true when
    // there was one to end (poll until it is no longer waiting).
    virtual bool Cancel() = 0;
    // `number` and `text` (either may be null) keep their value where a poll
    // has nothing new.
    virtual CStep Poll(int* number, std::string* text) = 0;
    // German words for a failure's code.
    virtual std::string FailureText(int code) const = 0;
};

// A listing's line of the serial-link library as an entry (the dialog's
// tests write such lines).
CDirEntry EntryOfLine(std::string_view line);

// A name that would reach outside a folder on the PC: the library's rule.
bool IsUnsafeName(std::string_view name, bool isDirectory);

} // namespace treshandheld
