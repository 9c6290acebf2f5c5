// Connections to application servers: the object that client datasets ask
// for their provider's data, holding the server's automation interface
// ("AppServer"). A server created in process is handed to the connection
// with SetAppServer; a socket connection to any other address first has to
// reach that address and port, and says which one it could not reach.
#pragma once

#include <string>
#include <vector>

#include "Classes.h"
#include "Variant.h"

namespace vcl {

// A connection failure: which address and port could not be reached, and why.
class ESocketConnectionError : public plat::Exception {
public:
    ESocketConnectionError(const std::string& message, std::string address, int port)
        : plat::Exception(message), Address(std::move(address)), Port(port) {}
    std::string Address;
    int Port;
};

// The list of servers a connection may choose from (the object broker).
class TSimpleObjectBroker : public TComponent {
    VCL_DECLARE_CLASS(TSimpleObjectBroker)
public:
    explicit TSimpleObjectBroker(TComponent* owner) : TComponent(owner) {}
    struct Server {
        std::string Address;
        int Port = 211;
        bool Enabled = true;
    };
    std::vector<Server> Servers;
};

class TCustomRemoteServer : public TComponent {
    VCL_DECLARE_CLASS(TCustomRemoteServer)
public:
    explicit TCustomRemoteServer(TComponent* owner) : TComponent(owner) {}
    ~TCustomRemoteServer() override;

    bool Connected() const { return appServer_.IsDispatch(); }
    void SetConnected(bool connected) { connected ? Open() : Close(); }
    // Connects when not yet connected; raises when the server cannot be reached.
    void Open();
    void Close();
    // The server's automation interface; Empty while not connected.
    const plat::Variant& AppServer() const { return appServer_; }
    // Makes an object created in process this connection's server (connected
    // at once); Empty disconnects.
    void SetAppServer(const plat::Variant& server);

    std::string ServerName;   // ProgID of the server object

    TNotifyEvent BeforeConnect, AfterConnect, BeforeDisconnect, AfterDisconnect;

protected:
    // Reaches the server and answers its automation interface.
    virtual plat::Variant DoConnect() = 0;

private:
    plat::Variant appServer_;
};

// A connection over TCP to the application server at Address:Port.
class TSocketConnection : public TCustomRemoteServer {
    VCL_DECLARE_CLASS(TSocketConnection)
public:
    explicit TSocketConnection(TComponent* owner) : TCustomRemoteServer(owner) {}

    std::string Address;
    std::string Host;
    int Port = 211;
    bool SupportCallbacks = false;
    int ConnectTimeoutMs = 3000;
    TSimpleObjectBroker* ObjectBroker = nullptr;

protected:
    // Raises ESocketConnectionError naming the address and port when they
    // cannot be reached. A reachable address raises as well: this client
    // speaks to application servers in process only, and says so.
    plat::Variant DoConnect() override;
};

}  // namespace vcl
