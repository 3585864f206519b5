#pragma once
// Internals of TComm shared by the portable part (comm.cpp) and the platform
// part (comm_posix.cpp). Not for use outside the serial component.
#include "link/comm.h"

#include <QEvent>

#include <deque>
#include <memory>
#include <mutex>

namespace mc::comm::detail {

enum class NoteKind { DataReceived, ReceiveError, RequestHangup, ModemStateChange, SendDataEmpty };

// One notification from a worker thread. It owns its data block, so nothing
// is shared between threads once it has been posted.
class Note : public QEvent {
public:
    // Received data travels as its own event type: a close drops the
    // session's pending line events but still delivers the bytes that had
    // arrived before it.
    static QEvent::Type EventType();
    static QEvent::Type DataEventType();
    explicit Note(NoteKind kind)
        : QEvent(kind == NoteKind::DataReceived ? DataEventType() : EventType()), kind(kind) {}
    NoteKind kind;
    quint32 value = 0;                // error flags or modem bits
    quint16 length = 0;               // received byte count
    std::unique_ptr<char[]> block;    // length + 1 bytes, the last one 0
};

// What the worker threads use to reach the UI thread: posts notes to the
// component's notifier. The notifier outlives both threads (they are joined
// before it is destroyed), and notes still queued when it goes are deleted
// with it.
class NoteSink {
public:
    explicit NoteSink(QObject *target) : m_target(target) {}
    void Data(const char *bytes, quint16 count) const;
    void Error(quint32 flags) const;
    void Hangup() const;
    void ModemChange(quint32 bits) const;
    void SendEmpty() const;

private:
    void post(std::unique_ptr<Note> note) const;
    QObject *m_target;
};

// Lives on the UI thread; turns notes into the component's events.
class Notifier : public QObject {
public:
    explicit Notifier(TComm *owner) : m_owner(owner) {}
    bool event(QEvent *e) override;

private:
    TComm *m_owner;
};

// A block queued for the writer: count + 1 bytes, the last one 0.
struct WriteBlock {
    std::unique_ptr<char[]> data;
    quint16 count = 0;
};

// The writer's queue. It exists from the moment the port is open, so a write
// queued right after OpenPort is kept; once the writer has ended it refuses
// new blocks.
class WriteQueue {
public:
    bool Push(WriteBlock &&block);  // false once ended
    bool Pop(WriteBlock &block);    // false when empty
    void End();                     // refuse from now on, drop what is queued

private:
    std::mutex m_mutex;
    std::deque<WriteBlock> m_blocks;
    bool m_ended = false;
};

// An open port with its reader and writer. Created by OpenPlatformPort, which
// throws mc::ECommsError with the operator's message when a step fails;
// destroying it stops both threads, restores the port and closes it.
class Port {
public:
    virtual ~Port() = default;
    virtual bool Write(WriteBlock &&block) = 0;
    virtual void ApplyLineSettings(const LineSettings &settings) = 0;
    virtual void ApplyTimeouts(const Timeouts &timeouts) = 0;
};

std::unique_ptr<Port> OpenPlatformPort(const QString &name, const LineSettings &settings,
                                       const Timeouts &timeouts, QObject *notifier);

// Takes the fault set by mc::comm::testing::FailNextOpen if it is `fault`
// (it is then used up); called once per step by the platform part.
bool TakeOpenFault(mc::comm::testing::OpenFault fault);
void ClearOpenFault();

} // namespace mc::comm::detail
