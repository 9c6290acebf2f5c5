// Application-server connections: in-process servers and the socket reach check.
#include "Connections.h"

#include <arpa/inet.h>
#include <fcntl.h>
#include <netdb.h>
#include <poll.h>
#include <sys/socket.h>
#include <unistd.h>

#include <cerrno>
#include <cstring>

namespace vcl {

const TClassInfo& TSimpleObjectBroker::StaticClass() {
    static const TClassInfo info =
        MakeComponentClass<TSimpleObjectBroker>("TSimpleObjectBroker", TComponent::StaticClass());
    return info;
}

const TClassInfo& TCustomRemoteServer::StaticClass() {
    static const TClassInfo info = [] {
        TClassInfo c;
        c.Name = "TCustomRemoteServer";
        c.Parent = &TComponent::StaticClass();
        TPropBuilder<TCustomRemoteServer>(c)
            .Bool("Connected", &TCustomRemoteServer::Connected, &TCustomRemoteServer::SetConnected)
            .Event("AfterConnect")
            .Event("AfterDisconnect");
        return c;
    }();
    return info;
}

const TClassInfo& TSocketConnection::StaticClass() {
    static const TClassInfo info = [] {
        TClassInfo c = MakeComponentClass<TSocketConnection>("TSocketConnection", TCustomRemoteServer::StaticClass());
        TPropBuilder<TSocketConnection>(c)
            .Str("Address", [](const TSocketConnection& s) { return s.Address; },
                 [](TSocketConnection& s, const std::string& v) { s.Address = v; })
            .Int("Port", [](const TSocketConnection& s) { return s.Port; },
                 [](TSocketConnection& s, int v) { s.Port = v; })
            .Str("ServerName", [](const TSocketConnection& s) { return s.ServerName; },
                 [](TSocketConnection& s, const std::string& v) { s.ServerName = v; });
        return c;
    }();
    return info;
}

TCustomRemoteServer::~TCustomRemoteServer() { appServer_ = plat::Variant(); }

void TCustomRemoteServer::Open() {
    if (Connected()) return;
    BeforeConnect(this);
    appServer_ = DoConnect();
    AfterConnect(this);
}

void TCustomRemoteServer::Close() {
    if (!Connected()) return;
    BeforeDisconnect(this);
    appServer_ = plat::Variant();
    AfterDisconnect(this);
}

void TCustomRemoteServer::SetAppServer(const plat::Variant& server) {
    if (!server.IsDispatch()) return Close();
    bool was = Connected();
    if (!was) BeforeConnect(this);
    appServer_ = server;
    if (!was) AfterConnect(this);
}

namespace {

// Tries a TCP connection; "" when it was accepted, else why not.
std::string Reach(const std::string& address, int port, int timeoutMs) {
    addrinfo hints{};
    hints.ai_family = AF_UNSPEC;
    hints.ai_socktype = SOCK_STREAM;
    addrinfo* found = nullptr;
    int rc = getaddrinfo(address.c_str(), std::to_string(port).c_str(), &hints, &found);
    if (rc != 0) return gai_strerror(rc);
    std::string why = "no usable address";
    for (addrinfo* a = found; a; a = a->ai_next) {
        int fd = socket(a->ai_family, a->ai_socktype, a->ai_protocol);
        if (fd < 0) { why = std::strerror(errno); continue; }
        fcntl(fd, F_SETFL, fcntl(fd, F_GETFL, 0) | O_NONBLOCK);
        int r = connect(fd, a->ai_addr, a->ai_addrlen);
        if (r != 0 && errno == EINPROGRESS) {
            pollfd p{fd, POLLOUT, 0};
            r = poll(&p, 1, timeoutMs);
            if (r == 0) {
                why = "no answer within " + std::to_string(timeoutMs) + " ms";
                close(fd);
                continue;
            }
            int err = 0;
            socklen_t len = sizeof err;
            getsockopt(fd, SOL_SOCKET, SO_ERROR, &err, &len);
            r = err == 0 ? 0 : -1;
            errno = err;
        }
        if (r == 0) {
            close(fd);
            freeaddrinfo(found);
            return {};
        }
        why = std::strerror(errno);
        close(fd);
    }
    freeaddrinfo(found);
    return why;
}

}  // namespace

plat::Variant TSocketConnection::DoConnect() {
    std::string address = Address.empty() ? Host : Address;
    if (address.empty())
        throw ESocketConnectionError("Cannot connect to the application server: no address given (port " +
                                         std::to_string(Port) + ")",
                                     address, Port);
    std::string why = Reach(address, Port, ConnectTimeoutMs);
    if (!why.empty())
        throw ESocketConnectionError("Cannot connect to the application server at " + address + ":" +
                                         std::to_string(Port) + ": " + why,
                                     address, Port);
    throw ESocketConnectionError("The application server at " + address + ":" + std::to_string(Port) +
                                     " answered, but this client reaches application servers in process only "
                                     "(address 127.0.0.1)",
                                 address, Port);
}

}  // namespace vcl
