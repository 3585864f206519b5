// TComm, portable part: properties, opening and closing through the platform
// part, the write queue and the notifications raised on the UI thread.
#include "link/comm.h"

#include "link/comm_p.h"

#include <QCoreApplication>

#include <atomic>
#include <cstring>

namespace mc::comm::detail {

namespace {
std::atomic<mc::comm::testing::OpenFault> g_openFault{mc::comm::testing::OpenFault::None};
}

bool TakeOpenFault(mc::comm::testing::OpenFault fault)
{
    auto expected = fault;
    return fault != mc::comm::testing::OpenFault::None
        && g_openFault.compare_exchange_strong(expected, mc::comm::testing::OpenFault::None);
}

void ClearOpenFault()
{
    g_openFault = mc::comm::testing::OpenFault::None;
}

QEvent::Type Note::EventType()
{
    static const auto type = static_cast<QEvent::Type>(QEvent::registerEventType());
    return type;
}

QEvent::Type Note::DataEventType()
{
    static const auto type = static_cast<QEvent::Type>(QEvent::registerEventType());
    return type;
}

void NoteSink::post(std::unique_ptr<Note> note) const
{
    QCoreApplication::postEvent(m_target, note.release());
}

void NoteSink::Data(const char *bytes, quint16 count) const
{
    auto note = std::make_unique<Note>(NoteKind::DataReceived);
    note->block.reset(new char[size_t(count) + 1]);
    std::memcpy(note->block.get(), bytes, count);
    note->block[count] = 0;
    note->length = count;
    post(std::move(note));
}

void NoteSink::Error(quint32 flags) const
{
    auto note = std::make_unique<Note>(NoteKind::ReceiveError);
    note->value = flags;
    post(std::move(note));
}

void NoteSink::Hangup() const
{
    post(std::make_unique<Note>(NoteKind::RequestHangup));
}

void NoteSink::ModemChange(quint32 bits) const
{
    auto note = std::make_unique<Note>(NoteKind::ModemStateChange);
    note->value = bits;
    post(std::move(note));
}

void NoteSink::SendEmpty() const
{
    post(std::make_unique<Note>(NoteKind::SendDataEmpty));
}

bool Notifier::event(QEvent *e)
{
    if (e->type() != Note::EventType() && e->type() != Note::DataEventType())
        return QObject::event(e);
    auto *note = static_cast<Note *>(e);
    TComm *owner = m_owner;
    // Each handler is copied before the call, so a handler that replaces
    // itself does not destroy the function it is running in.
    switch (note->kind) {
    case NoteKind::DataReceived:
        if (auto handler = owner->OnReceiveData)
            handler(owner, note->block.get(), note->length);
        break;
    case NoteKind::ReceiveError:
        if (auto handler = owner->OnReceiveError)
            handler(owner, note->value);
        break;
    case NoteKind::RequestHangup:
        if (auto handler = owner->OnRequestHangup)
            handler(owner);
        break;
    case NoteKind::ModemStateChange:
        if (auto handler = owner->OnModemStateChange)
            handler(owner, note->value);
        break;
    case NoteKind::SendDataEmpty:
        if (auto handler = owner->OnSendDataEmpty)
            handler(owner);
        break;
    }
    return true; // the block goes with the event, after the handler returned
}

bool WriteQueue::Push(WriteBlock &&block)
{
    std::lock_guard<std::mutex> lock(m_mutex);
    if (m_ended)
        return false;
    m_blocks.push_back(std::move(block));
    return true;
}

bool WriteQueue::Pop(WriteBlock &block)
{
    std::lock_guard<std::mutex> lock(m_mutex);
    if (m_blocks.empty())
        return false;
    block = std::move(m_blocks.front());
    m_blocks.pop_front();
    return true;
}

void WriteQueue::End()
{
    std::deque<WriteBlock> dropped;
    std::lock_guard<std::mutex> lock(m_mutex);
    m_ended = true;
    dropped.swap(m_blocks);
}

} // namespace mc::comm::detail

namespace mc::comm::testing {
void FailNextOpen(OpenFault fault)
{
    mc::comm::detail::g_openFault = fault;
}
} // namespace mc::comm::testing

using namespace mc::comm::detail;

TComm::TComm(QObject *owner) : QObject(owner), m_notifier(new Notifier(this))
{
}

TComm::~TComm()
{
    // The threads post to the notifier: they must have ended before it goes.
    ClosePort();
    delete m_notifier; // notes still queued for it are deleted with it
    m_notifier = nullptr;
}

bool TComm::IsOpen() const
{
    return m_port != nullptr;
}

void TComm::OpenPort()
{
    if (m_port)
        throw mc::ECommsError(QStringLiteral("This serial port already opened"));
    struct FaultReset {
        ~FaultReset() { ClearOpenFault(); }
    } faultReset; // a fault set for this open never reaches the next one
    try {
        m_port = OpenPlatformPort(m_commName, m_line, m_timeouts, m_notifier);
    } catch (...) {
        // A reader that ran briefly before a later step failed may have posted.
        QCoreApplication::removePostedEvents(m_notifier, Note::EventType());
        QCoreApplication::removePostedEvents(m_notifier, Note::DataEventType());
        throw;
    }
}

void TComm::ClosePort()
{
    if (!m_port)
        return;
    m_port.reset(); // stops and joins both threads, restores and closes the port
    // Line events of the closed session are not raised any more: a late
    // hang-up request must not reach an owner that has already reopened.
    // Bytes received before the close are still delivered.
    QCoreApplication::removePostedEvents(m_notifier, Note::EventType());
}

bool TComm::WriteData(const char *data, quint16 count)
{
    if (!m_port || count == 0 || data == nullptr)
        return false;
    WriteBlock block;
    block.data.reset(new char[size_t(count) + 1]);
    std::memcpy(block.data.get(), data, count);
    block.data[count] = 0;
    block.count = count;
    return m_port->Write(std::move(block));
}

void TComm::applyLineSettings()
{
    if (m_port)
        m_port->ApplyLineSettings(m_line);
}

void TComm::applyTimeouts()
{
    if (m_port)
        m_port->ApplyTimeouts(m_timeouts);
}

// Setters: an equal value changes nothing; otherwise the value is stored and,
// while open, the line settings or the time-outs are applied again. Parity
// and CommName are stored only and take effect at the next OpenPort (Parity
// also goes out with the next re-application of the line settings).
#define MC_COMM_SETTER(Name, Type, member, apply)                                                  \
    void TComm::Set##Name(Type value)                                                              \
    {                                                                                              \
        if (member == value)                                                                       \
            return;                                                                                \
        member = value;                                                                            \
        apply;                                                                                     \
    }

MC_COMM_SETTER(CommName, const QString &, m_commName, (void)0)
MC_COMM_SETTER(BaudRate, quint32, m_line.baudRate, applyLineSettings())
MC_COMM_SETTER(ParityCheck, bool, m_line.parityCheck, applyLineSettings())
MC_COMM_SETTER(Outx_CtsFlow, bool, m_line.outxCtsFlow, applyLineSettings())
MC_COMM_SETTER(Outx_DsrFlow, bool, m_line.outxDsrFlow, applyLineSettings())
MC_COMM_SETTER(DtrControl, TDtrControl, m_line.dtrControl, applyLineSettings())
MC_COMM_SETTER(DsrSensitivity, bool, m_line.dsrSensitivity, applyLineSettings())
MC_COMM_SETTER(TxContinueOnXoff, bool, m_line.txContinueOnXoff, applyLineSettings())
MC_COMM_SETTER(Outx_XonXoffFlow, bool, m_line.outxXonXoffFlow, applyLineSettings())
MC_COMM_SETTER(Inx_XonXoffFlow, bool, m_line.inxXonXoffFlow, applyLineSettings())
MC_COMM_SETTER(ReplaceWhenParityError, bool, m_line.replaceWhenParityError, applyLineSettings())
MC_COMM_SETTER(IgnoreNullChar, bool, m_line.ignoreNullChar, applyLineSettings())
MC_COMM_SETTER(RtsControl, TRtsControl, m_line.rtsControl, applyLineSettings())
MC_COMM_SETTER(XonLimit, quint16, m_line.xonLimit, applyLineSettings())
MC_COMM_SETTER(XoffLimit, quint16, m_line.xoffLimit, applyLineSettings())
MC_COMM_SETTER(ByteSize, TByteSize, m_line.byteSize, applyLineSettings())
MC_COMM_SETTER(Parity, TParity, m_line.parity, (void)0)
MC_COMM_SETTER(StopBits, TStopBits, m_line.stopBits, applyLineSettings())
MC_COMM_SETTER(XonChar, char, m_line.xonChar, applyLineSettings())
MC_COMM_SETTER(XoffChar, char, m_line.xoffChar, applyLineSettings())
MC_COMM_SETTER(ReplacedChar, char, m_line.replacedChar, applyLineSettings())
MC_COMM_SETTER(ReadIntervalTimeout, quint32, m_timeouts.readInterval, applyTimeouts())
MC_COMM_SETTER(ReadTotalTimeoutMultiplier, quint32, m_timeouts.readTotalMultiplier, applyTimeouts())
MC_COMM_SETTER(ReadTotalTimeoutConstant, quint32, m_timeouts.readTotalConstant, applyTimeouts())
MC_COMM_SETTER(WriteTotalTimeoutMultiplier, quint32, m_timeouts.writeTotalMultiplier, applyTimeouts())
MC_COMM_SETTER(WriteTotalTimeoutConstant, quint32, m_timeouts.writeTotalConstant, applyTimeouts())

#undef MC_COMM_SETTER
