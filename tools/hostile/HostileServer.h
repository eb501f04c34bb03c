#pragma once

#include <atomic>
#include <chrono>
#include <memory>
#include <mutex>
#include <string>
#include <thread>
#include <vector>

#include "pki/CertificateAuthority.h"

namespace ovira::hostile {

// What the server does to each client, once the TLS handshake is over and
// the request has been read (except where the attack is the handshake).
enum class Attack {
    trickle,                 // a 200 announcing 1 MB, then one byte per trickle interval, for ever
    compressionBomb,         // a gzip body that expands to 64 MiB of zeros
    conflictingLengths,      // two different Content-Length headers
    chunkedAndLength,        // Transfer-Encoding: chunked and a Content-Length
    hugeHeader,              // one header line of 1 MiB
    manyHeaders,             // 10,000 header lines
    nonAsciiHeader,          // header bytes outside ASCII, a NUL among them
    status299,               // a status number no table knows
    status600,               // a status number outside HTTP's range
    malformedStatusLine,     // a status line that is not HTTP
    hugeChunkSize,           // a chunk size that overflows 64 bits
    truncatedWithoutNotify,  // half the announced body, then the socket closed without close_notify
    handshakeStall,          // the TCP connection accepted, the handshake never answered
    hugeCertificateChain,    // a certificate chain of about 1 MiB
    raw,                     // the bytes given to setRawResponse(), then a clean close
};

// The name of an attack, for test names and the command line.
const char* nameOf(Attack attack);

// An HTTPS server on 127.0.0.1 (a free port) that misbehaves as told, one
// connection at a time, until it is destroyed. A test tool: never part of
// the library.
class HostileServer {
public:
    explicit HostileServer(const pki::IssuedCertificate& certificate, const std::string& caCertificatePem);
    ~HostileServer();
    HostileServer(const HostileServer&) = delete;
    HostileServer& operator=(const HostileServer&) = delete;

    void play(Attack attack);
    // Serves `bytes` as the whole raw response (attack `raw`).
    void setRawResponse(std::string bytes);
    // The pause between two bytes of the trickle (default 29 s).
    void setTrickleInterval(std::chrono::milliseconds interval);

    int port() const { return port_; }
    std::string baseURL() const;
    // Connections accepted so far.
    int connections() const { return connections_.load(); }
    // Bytes of response written so far, over all connections.
    long long bytesSent() const { return bytesSent_.load(); }

private:
    struct Tls;
    void run();
    void serve(int socket);
    bool stopping() const { return stop_.load(); }

    std::unique_ptr<Tls> tls_;
    int listener_ = -1;
    int port_ = 0;
    std::thread thread_;
    std::atomic<bool> stop_{false};
    std::atomic<int> connections_{0};
    std::atomic<long long> bytesSent_{0};
    mutable std::mutex mutex_;
    Attack attack_ = Attack::raw;
    std::string raw_;
    std::chrono::milliseconds trickleInterval_{29000};
};

}  // namespace ovira::hostile
