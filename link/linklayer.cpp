#include "link/linklayer.h"

#include <QtGlobal>
#include <exception>

#include "core/pause.h"
#include "protocol/commands.h"

namespace mc {

namespace {

const QString kConnected = QStringLiteral("已连接");
const QString kDisconnected = QStringLiteral("断开");

// Removes bytes 0 to 32 (spaces, line ends, control bytes, NUL) from both
// ends; bytes inside stay.
QByteArray TrimControlBytes(const char *data, int length)
{
    int begin = 0;
    int end = length;
    while (begin < end && static_cast<unsigned char>(data[begin]) <= 32)
        ++begin;
    while (end > begin && static_cast<unsigned char>(data[end - 1]) <= 32)
        --end;
    return QByteArray(data + begin, end - begin);
}

} // namespace

void LinkLayerHost::ShowUnhandledError(const QString &message)
{
    qWarning("Link layer: %s", qPrintable(message));
}

LinkLayer::LinkLayer(LinkLayerHost &host, QObject *parent) : QObject(parent), m_host(host)
{
    ClientSocket1.SetAddress(QString::fromLatin1(kFactoryAddress));

    Comm1.OnReceiveData = [this](TComm *sender, const char *buffer, quint16 length) {
        Comm1ReceiveData(sender, buffer, length);
    };
    ClientSocket1.OnConnect = [this](TClientSocket *sender) { ClientSocket1Connect(sender); };
    ClientSocket1.OnDisconnect = [this](TClientSocket *sender) { ClientSocket1Disconnect(sender); };
    ClientSocket1.OnRead = [this](TClientSocket *sender) { ClientSocket1Read(sender); };
    ClientSocket1.OnError = [this](TClientSocket *sender, TErrorEvent event, int &code) {
        ClientSocket1Error(sender, event, code);
    };
    ClientSocket1.OnUnhandledError = [this](const QString &message) {
        m_host.ShowUnhandledError(message);
    };
}

void LinkLayer::SendCommand(const QByteArray &text)
{
    if (text.isEmpty())
        return;
    if (LinkKind != 0) {
        ClientSocket1.Send(text);
        return;
    }
    // The serial component takes at most 65535 bytes per write; a longer
    // string goes out as consecutive writes instead of being cut short.
    constexpr int kMaxWrite = 0xFFFF;
    for (int offset = 0; offset < text.size(); offset += kMaxWrite) {
        const int count = qMin(kMaxWrite, int(text.size()) - offset);
        if (!Comm1.WriteData(text.constData() + offset, static_cast<quint16>(count)))
            return;
    }
}

void LinkLayer::OpenSerialLink()
{
    Comm1.ClosePort();
    const QString name = m_host.SerialPortName();
    Comm1.SetCommName(name);
    m_host.SetLinkLabel(kConnected + name);
    try {
        Comm1.OpenPort();
    } catch (...) {
        // Whatever went wrong, the operator sees the program's own warning,
        // not the component's message.
        m_host.SetLinkLabel(kDisconnected + name);
        m_host.ShowSerialOpenFailed(name);
    }
    mc::Pause(300);
    QueryAfterLinkUp();
}

void LinkLayer::OpenNetworkLink()
{
    const QString address = m_host.NetworkAddress();
    m_host.SetLinkLabel(kDisconnected + address);
    // Closing an open connection runs its disconnect handler, which shows
    // "断开" with the old address until the new connection is made.
    ClientSocket1.SetActive(false);
    ClientSocket1.SetAddress(address);
    ClientSocket1.SetActive(true);
}

void LinkLayer::QueryAfterLinkUp()
{
    mc::Pause(300);
    SendCommand(mc::cmd::StatusQuery());
    mc::Pause(200);
}

void LinkLayer::OpenLink()
{
    if (LinkKind != 0)
        OpenNetworkLink();
    else
        OpenSerialLink();
}

void LinkLayer::RefreshStatus()
{
    SendCommand(mc::cmd::StatusQuery());
    ClientSocket1.Send(mc::cmd::StatusQuery());
}

void LinkLayer::Comm1ReceiveData(TComm *, const char *buffer, quint16 bufferLength)
{
    // The whole block is dispatched, however long (the reader delivers up
    // to 2048 bytes), trimmed of spaces and control bytes at both ends.
    // This runs inside the serial component's event delivery, so nothing may
    // be thrown from here.
    mc::CatchAsMessage([&] { m_host.DispatchReply(TrimControlBytes(buffer, bufferLength)); },
                       [this](const QString &message) { m_host.ShowUnhandledError(message); },
                       "Unknown exception in a serial event");
}

void LinkLayer::ClientSocket1Read(TClientSocket *sender)
{
    m_host.DispatchReply(sender->ReceiveAvailable());
}

void LinkLayer::ClientSocket1Connect(TClientSocket *)
{
    m_host.SetLinkLabel(kConnected + ClientSocket1.Address());
    QueryAfterLinkUp();
}

void LinkLayer::ClientSocket1Disconnect(TClientSocket *)
{
    m_host.SetLinkLabel(kDisconnected + ClientSocket1.Address());
}

void LinkLayer::ClientSocket1Error(TClientSocket *, TErrorEvent, int &errorCode)
{
    // Network failures are never shown: the label keeps its "断开" text.
    errorCode = 0;
}

} // namespace mc
