#pragma once
// The main window's link layer: it keeps the link kind, opens the chosen link
// (serial port or network), offers the one send path every command takes,
// hands every received block to the reply dispatcher and keeps the
// link-state label up to date. Everything runs on the user-interface thread.
#include <QByteArray>
#include <QObject>
#include <QString>

#include "core/factory.h"
#include "link/clientsocket.h"
#include "link/comm.h"

namespace mc {

// What the link layer needs of the main window.
class LinkLayerHost {
public:
    virtual ~LinkLayerHost() = default;
    virtual QString SerialPortName() = 0;               // read at each serial open
    virtual QString NetworkAddress() = 0;               // read at each network open
    virtual void SetLinkLabel(const QString &text) = 0; // the link-state label
    virtual void ShowSerialOpenFailed(const QString &portName) = 0; // the warning box
    virtual void DispatchReply(const QByteArray &text) = 0;
    // An error raised while a received block or a link event was being
    // handled (DispatchReply throwing, say). It reaches the main window here
    // because no exception may leave the event loop; the main window shows it
    // in the standard error box. By default it is only printed as a warning.
    virtual void ShowUnhandledError(const QString &message);
};

class LinkLayer : public QObject {
    Q_OBJECT
public:
    explicit LinkLayer(LinkLayerHost &host, QObject *parent = nullptr);

    int LinkKind = 0;              // 0 serial port, any other value the network
    TComm Comm1;                   // component defaults; only OnReceiveData handled
    TClientSocket ClientSocket1;   // port 10008, the factory address at first

    // The single send path: the bytes go, unchanged, to the link LinkKind
    // selects at the moment of the call. Nothing is reported; a command sent
    // while its link is down is lost.
    void SendCommand(const QByteArray &text);
    // Reopens the serial port named by the host, then asks for the status
    // whether the open succeeded or not.
    void OpenSerialLink();
    // Starts a connection to the host's network address and returns at once;
    // the status query follows when the connection is made.
    void OpenNetworkLink();
    // 300 ms pause, the status query "QUER00", 200 ms pause.
    void QueryAfterLinkUp();
    // Opens the link LinkKind selects.
    void OpenLink();
    // The refresh button: the status query on the send path, then once more
    // straight to the network client (which drops it unless connected).
    void RefreshStatus();

    // Event handlers of the two links.
    void Comm1ReceiveData(TComm *sender, const char *buffer, quint16 bufferLength);
    void ClientSocket1Read(TClientSocket *sender);
    void ClientSocket1Connect(TClientSocket *sender);
    void ClientSocket1Disconnect(TClientSocket *sender);
    void ClientSocket1Error(TClientSocket *sender, TErrorEvent errorEvent, int &errorCode);

private:
    LinkLayerHost &m_host;
};

} // namespace mc
