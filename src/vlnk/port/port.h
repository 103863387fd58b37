// SPDX-License-Identifier: LGPL-2.1-or-later
// CPort: one serial device on termios, with a watcher thread that turns "enough
// bytes queued" and "output drained" into line notifications for the library's
// message window.
//
// The protocol never blocks waiting for the handheld: it arms a receive
// threshold (notify when N bytes are queued) or a transmit threshold (notify
// when at most N bytes wait to go out) and returns. Each armed threshold fires
// once; the watcher disarms it before posting. Blocking reads are only used for
// bytes already known to be queued.
//
// The watcher wakes only when what it waits for can be there: for the first
// byte, when it arrives; for the rest of a partly received threshold (or an
// output queue still draining), when the missing bytes have had their wire time
// at the line's rate. A line that pauses wakes it again only with new bytes.
//
// Everything but the watcher runs on the library's thread. Operations on a
// closed port write an error line and return their failure value.
#pragma once

#include <atomic>
#include <cstddef>
#include <cstdint>
#include <string>
#include <termios.h>
#include <thread>

namespace vlnk {

class CMsgWindow;

class CPort {
public:
    static constexpr size_t kNameMax = 21;     // longest port name accepted
    static constexpr size_t kLineBuffer = 280; // buffer size ReadLine callers provide
    static constexpr int kBaudCount = 6;

    explicit CPort(int channel);
    ~CPort();
    CPort(const CPort&) = delete;
    CPort& operator=(const CPort&) = delete;

    // 0, or 204 when the device cannot be opened (or is not a terminal, or is held
    // by another process, or its name is longer than kNameMax). An open port
    // returns 0 and is left as it is. Leaves the line at 2400 baud (1200 for a
    // "C" name whose baud text is unknown) with the watcher running.
    int OpenPort(const std::string& name);
    // 0 or 205. Stops the watcher first, so no notification follows the close.
    // Output still queued goes out first, unless the line stops taking it.
    int ClosePort();

    // Line settings from the name: names beginning with "C" get 1200,n,8,1,
    // others keep the device's settings; then the baud text from the table.
    // An unknown baud text is logged and leaves the rate as it was. 0 or 208.
    int Setup(const std::string& name, const std::string& baud);

    // Sends wait until the input queue has been found empty (stray input is
    // discarded in 100 ms steps), then write; the write is bounded by one
    // second per byte.
    void SendChar(uint8_t byte);
    int SendString(const uint8_t* bytes, size_t count); // 0 or 215
    // Waits up to a second for a byte; when none comes `out` is left as it was
    // and the result is still 0 - check GetNumInRxBuffer first. 211 on error.
    int GetChar(uint8_t& out);
    // Exactly `count` bytes within a second, else 216.
    int GetString(uint8_t* out, size_t count);
    // One CR/LF-terminated line, leading CR/LF skipped, NUL-terminated in `out`
    // of `size` bytes; a longer line is cut (and the cut logged). A line cut short
    // by a quiet line ends there; 211 when nothing came at all or on error.
    int ReadLine(char* out, size_t size = kLineBuffer);

    void FlushReceive();
    void FlushTransmit();
    int GetNumInRxBuffer(); // 0 on failure
    // Drains a pending system error: logs it and empties the line.
    void CheckError(const char* operation);
    void ResetPort();
    void ClearGarbage(const char* operation, bool check);

    void ArmNotify(int rxThreshold, int txThreshold);
    void DisarmNotify();
    void StartThread();
    // Returns only after the watcher has ended.
    void StopThread();

    // Entry 0..5 of the baud table, null beyond.
    static const char* BaudName(int index);
    static long BaudNumber(int index);

    // Whether the device went away under the open port (hang-up, or the device
    // answers every call with an I/O error, as a pulled USB adapter does). Such
    // a port stays lost until it is closed; the first call that finds it lost
    // logs the cause. Library thread only.
    bool Lost();

    bool IsOpen() const { return m_bOpen; }
    int Handle() const { return m_hDevice; }
    const std::string& Name() const { return m_strName; }
    int RxThreshold() const { return m_thread.rxThreshold.load(); }
    int TxThreshold() const { return m_thread.txThreshold.load(); }
    bool WatcherRunning() const { return m_thread.threadId.load() != 0; }
    // The watcher's thread id (0 when none runs), to look at it from outside.
    int WatcherThreadId() const { return m_thread.threadId.load(); }

    // 1 when the handheld last answered over infrared, 0 for cable.
    uint8_t IrMode = 0;

private:
    // Shared with the watcher, which touches nothing else of the port.
    struct ThreadBlock {
        int channel = 0;
        int hDevice = -1;
        int wakeFd = -1;
        // Epoll set of the wake-up descriptor and the device, the device
        // edge-triggered: a wait on it ends only with bytes that are new.
        int eventFd = -1;
        // Wire time of one character at the line's settings; 0 when unknown.
        std::atomic<long> characterNs{0};
        CMsgWindow* window = nullptr;
        std::atomic<int> threadId{0};
        std::atomic<int> inUse{0};
        std::atomic<int> rxThreshold{-1};
        std::atomic<int> txThreshold{-1};
        std::atomic<int> lost{0}; // 0, kHungUp or the errno the device failed with
    };
    static constexpr int kHungUp = -1;
    // Marks the port lost (the first cause wins) and wakes the library thread
    // with a line notification, so a waiting command learns of it at once.
    static void Lose(ThreadBlock* block, int cause);
    // For the library thread's own calls: loses the port when `error` says the
    // device is gone.
    void LoseOn(int error);
    // One queue of the line emptied (TCIFLUSH, TCOFLUSH); `direction` and
    // `operation` name it in the log lines.
    void Flush(int queue, const char* direction, const char* operation);
    static void Watch(ThreadBlock* block);
    // The watcher's two waits; a negative time-out waits without one.
    static void WaitForWake(ThreadBlock* block, long long timeoutNs);
    static void WaitForBytes(ThreadBlock* block, long long timeoutNs);
    static void DrainWake(ThreadBlock* block);
    // The character time of the line as it is set now, for the watcher.
    void NoteCharacterTime();
    // The epoll set of a newly opened device; false when it cannot be made.
    bool MakeEventSet();
    void CloseEventFds();
    void Wake();
    int ReadByte(uint8_t& out, bool& got);
    int WriteAll(const uint8_t* bytes, size_t count, const char* operation);
    // True when everything written has left the output queue.
    bool DrainOutput();
    void Fail(int error) { m_nLastError = error; }

    int m_nChannel;
    int m_hDevice = -1;
    ThreadBlock m_thread;
    std::thread m_watcher;
    std::string m_strName;
    bool m_bOpen = false;
    int m_nLastError = 0;
    bool m_bLossLogged = false;
    termios m_original{};
    bool m_bHaveOriginal = false;
};

} // namespace vlnk
