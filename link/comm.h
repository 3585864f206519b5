#pragma once
// TComm: a non-visual component owning one serial port. It keeps the port's
// line settings and time-outs as properties, opens and closes the port and,
// while open, runs a reader thread (received bytes, line errors, modem-line
// changes, hang-up) and a writer thread (queued blocks). Every event is raised
// on the thread that created the component (the UI thread), in posting order.
//
// Linux mapping of the port name: "COMn" (any case) opens /dev/ttyS<n-1>; a
// name holding "/" is a device path used as given (e.g. a pty slave); any
// other name opens /dev/<name>.
#include "core/error.h"

#include <QObject>
#include <QString>

#include <functional>
#include <memory>

namespace mc {
class ECommsError : public mc::Error {
public:
    using mc::Error::Error;
};
} // namespace mc

enum class TDtrControl { DtrEnable, DtrDisable, DtrHandshake };
enum class TRtsControl { RtsEnable, RtsDisable, RtsHandshake, RtsTransmissionAvailable };
enum class TByteSize { _5, _6, _7, _8 };
enum class TParity { None, Odd, Even, Mark, Space };
enum class TStopBits { _1, _1_5, _2 };

// Line error flags reported by OnReceiveError (same values as the classic
// serial driver's CE_* flags).
namespace mc::comm {
constexpr quint32 CeRxOver = 0x1;
constexpr quint32 CeOverrun = 0x2;
constexpr quint32 CeRxParity = 0x4;
constexpr quint32 CeFrame = 0x8;
constexpr quint32 CeBreak = 0x10;
// Modem events reported by OnModemStateChange.
constexpr quint32 ModemRing = 4;
constexpr quint32 ModemCarrierChange = 8;
} // namespace mc::comm

namespace mc::comm {

// The property values that become the port's line settings.
struct LineSettings {
    quint32 baudRate = 9600;
    bool parityCheck = false;
    bool outxCtsFlow = false;
    bool outxDsrFlow = false;
    TDtrControl dtrControl = TDtrControl::DtrEnable;
    bool dsrSensitivity = false;
    bool txContinueOnXoff = true;
    bool outxXonXoffFlow = true;
    bool inxXonXoffFlow = true;
    bool replaceWhenParityError = false;
    bool ignoreNullChar = false;
    TRtsControl rtsControl = TRtsControl::RtsEnable;
    quint16 xonLimit = 500;
    quint16 xoffLimit = 500;
    TByteSize byteSize = TByteSize::_8;
    TParity parity = TParity::None;
    TStopBits stopBits = TStopBits::_1;
    char xonChar = 17;
    char xoffChar = 19;
    char replacedChar = 0;
};

// The five time-outs, in milliseconds.
struct Timeouts {
    quint32 readInterval = 100;
    quint32 readTotalMultiplier = 0;
    quint32 readTotalConstant = 0;
    quint32 writeTotalMultiplier = 0;
    quint32 writeTotalConstant = 0;
};

} // namespace mc::comm

namespace mc::comm::detail {
class Port;     // the open port and its threads (platform part)
class Notifier; // receives the threads' notifications on the UI thread
} // namespace mc::comm::detail

// Test seam: the steps of OpenPort that cannot be made to fail on a pty when
// running as root (a second open is not refused by TIOCEXCL, memory and
// thread creation do not run out). The next OpenPort fails at the chosen step
// exactly as the real failure would; the fault is used up by that call.
namespace mc::comm::testing {
enum class OpenFault { None, PortInUse, Buffer, Event, ReadThread, WriteThread };
void FailNextOpen(OpenFault fault);
} // namespace mc::comm::testing

class TComm : public QObject {
public:
    explicit TComm(QObject *owner = nullptr);
    ~TComm() override; // closes an open port first

    void OpenPort(); // throws mc::ECommsError
    void ClosePort();
    bool WriteData(const char *data, quint16 count);
    bool IsOpen() const;

    QString CommName() const { return m_commName; }
    void SetCommName(const QString &value);
    quint32 BaudRate() const { return m_line.baudRate; }
    void SetBaudRate(quint32 value);
    bool ParityCheck() const { return m_line.parityCheck; }
    void SetParityCheck(bool value);
    bool Outx_CtsFlow() const { return m_line.outxCtsFlow; }
    void SetOutx_CtsFlow(bool value);
    bool Outx_DsrFlow() const { return m_line.outxDsrFlow; }
    void SetOutx_DsrFlow(bool value);
    TDtrControl DtrControl() const { return m_line.dtrControl; }
    void SetDtrControl(TDtrControl value);
    bool DsrSensitivity() const { return m_line.dsrSensitivity; }
    void SetDsrSensitivity(bool value);
    bool TxContinueOnXoff() const { return m_line.txContinueOnXoff; }
    void SetTxContinueOnXoff(bool value);
    bool Outx_XonXoffFlow() const { return m_line.outxXonXoffFlow; }
    void SetOutx_XonXoffFlow(bool value);
    bool Inx_XonXoffFlow() const { return m_line.inxXonXoffFlow; }
    void SetInx_XonXoffFlow(bool value);
    bool ReplaceWhenParityError() const { return m_line.replaceWhenParityError; }
    void SetReplaceWhenParityError(bool value);
    bool IgnoreNullChar() const { return m_line.ignoreNullChar; }
    void SetIgnoreNullChar(bool value);
    TRtsControl RtsControl() const { return m_line.rtsControl; }
    void SetRtsControl(TRtsControl value);
    quint16 XonLimit() const { return m_line.xonLimit; }
    void SetXonLimit(quint16 value);
    quint16 XoffLimit() const { return m_line.xoffLimit; }
    void SetXoffLimit(quint16 value);
    TByteSize ByteSize() const { return m_line.byteSize; }
    void SetByteSize(TByteSize value);
    TParity Parity() const { return m_line.parity; }
    void SetParity(TParity value);
    TStopBits StopBits() const { return m_line.stopBits; }
    void SetStopBits(TStopBits value);
    char XonChar() const { return m_line.xonChar; }
    void SetXonChar(char value);
    char XoffChar() const { return m_line.xoffChar; }
    void SetXoffChar(char value);
    char ReplacedChar() const { return m_line.replacedChar; }
    void SetReplacedChar(char value);
    quint32 ReadIntervalTimeout() const { return m_timeouts.readInterval; }
    void SetReadIntervalTimeout(quint32 value);
    quint32 ReadTotalTimeoutMultiplier() const { return m_timeouts.readTotalMultiplier; }
    void SetReadTotalTimeoutMultiplier(quint32 value);
    quint32 ReadTotalTimeoutConstant() const { return m_timeouts.readTotalConstant; }
    void SetReadTotalTimeoutConstant(quint32 value);
    quint32 WriteTotalTimeoutMultiplier() const { return m_timeouts.writeTotalMultiplier; }
    void SetWriteTotalTimeoutMultiplier(quint32 value);
    quint32 WriteTotalTimeoutConstant() const { return m_timeouts.writeTotalConstant; }
    void SetWriteTotalTimeoutConstant(quint32 value);

    // Events, raised on the UI thread in posting order.
    std::function<void(TComm *sender, const char *buffer, quint16 length)> OnReceiveData; // buffer[length] == 0
    std::function<void(TComm *sender, quint32 eventMask)> OnReceiveError;
    std::function<void(TComm *sender, quint32 modemEvent)> OnModemStateChange;
    std::function<void(TComm *sender)> OnRequestHangup;
    std::function<void(TComm *sender)> OnSendDataEmpty;

private:
    friend class mc::comm::detail::Notifier;
    void applyLineSettings();
    void applyTimeouts();

    QString m_commName = QStringLiteral("COM2");
    mc::comm::LineSettings m_line;   // the line settings properties
    mc::comm::Timeouts m_timeouts;   // the five time-out properties

    mc::comm::detail::Notifier *m_notifier = nullptr; // child QObject on the UI thread
    std::unique_ptr<mc::comm::detail::Port> m_port;    // null while closed
};
