#include "HostileServer.h"

#include <arpa/inet.h>
#include <netinet/in.h>
#include <openssl/err.h>
#include <openssl/pem.h>
#include <openssl/ssl.h>
#include <poll.h>
#include <csignal>
#include <sys/socket.h>
#include <unistd.h>
#include <zlib.h>

#include <algorithm>
#include <stdexcept>

namespace ovira::hostile {
namespace {

constexpr auto kSlice = std::chrono::milliseconds(50);

X509* parseCertificate(const std::string& pem) {
    BIO* bio = BIO_new_mem_buf(pem.data(), static_cast<int>(pem.size()));
    X509* certificate = PEM_read_bio_X509(bio, nullptr, nullptr, nullptr);
    BIO_free(bio);
    if (!certificate) throw std::runtime_error("hostile server: not a PEM certificate");
    return certificate;
}

SSL_CTX* makeContext(const pki::IssuedCertificate& identity, const std::string& caPem, int extraChainCopies) {
    SSL_CTX* context = SSL_CTX_new(TLS_server_method());
    if (!context) throw std::runtime_error("hostile server: no TLS context");
    X509* certificate = parseCertificate(identity.certificatePem);
    BIO* bio = BIO_new_mem_buf(identity.privateKeyPem.data(), static_cast<int>(identity.privateKeyPem.size()));
    EVP_PKEY* key = PEM_read_bio_PrivateKey(bio, nullptr, nullptr, nullptr);
    BIO_free(bio);
    const bool loaded = key && SSL_CTX_use_certificate(context, certificate) == 1 &&
                        SSL_CTX_use_PrivateKey(context, key) == 1;
    X509_free(certificate);
    EVP_PKEY_free(key);
    if (!loaded) {
        SSL_CTX_free(context);
        throw std::runtime_error("hostile server: the certificate or key does not load");
    }
    if (extraChainCopies > 0) {
        X509* ca = parseCertificate(caPem);
        for (int i = 0; i < extraChainCopies; ++i) SSL_CTX_add_extra_chain_cert(context, X509_dup(ca));
        X509_free(ca);
    }
    return context;
}

// 64 MiB of zeros, gzip-compressed (about 64 KiB).
const std::string& gzipBomb() {
    static const std::string bomb = [] {
        z_stream stream{};
        deflateInit2(&stream, Z_BEST_COMPRESSION, Z_DEFLATED, 15 + 16, 9, Z_DEFAULT_STRATEGY);
        std::string zeros(1 << 20, '\0'), out;
        std::string buffer(1 << 16, '\0');
        for (int chunk = 0; chunk < 64; ++chunk) {
            stream.next_in = reinterpret_cast<Bytef*>(zeros.data());
            stream.avail_in = static_cast<uInt>(zeros.size());
            const int flush = chunk == 63 ? Z_FINISH : Z_NO_FLUSH;
            do {
                stream.next_out = reinterpret_cast<Bytef*>(buffer.data());
                stream.avail_out = static_cast<uInt>(buffer.size());
                deflate(&stream, flush);
                out.append(buffer.data(), buffer.size() - stream.avail_out);
            } while (stream.avail_out == 0);
        }
        deflateEnd(&stream);
        return out;
    }();
    return bomb;
}

std::string withLength(const std::string& status, const std::string& headers, const std::string& body) {
    return "HTTP/1.1 " + status + "\r\n" + headers + "Content-Length: " + std::to_string(body.size()) +
           "\r\nConnection: close\r\n\r\n" + body;
}

const std::string kEnvelope = R"({"status":"OK","data":{},"message":"ok"})";

}  // namespace

const char* nameOf(Attack attack) {
    switch (attack) {
        case Attack::trickle: return "trickle";
        case Attack::compressionBomb: return "compressionBomb";
        case Attack::conflictingLengths: return "conflictingLengths";
        case Attack::chunkedAndLength: return "chunkedAndLength";
        case Attack::hugeHeader: return "hugeHeader";
        case Attack::manyHeaders: return "manyHeaders";
        case Attack::nonAsciiHeader: return "nonAsciiHeader";
        case Attack::status299: return "status299";
        case Attack::status600: return "status600";
        case Attack::malformedStatusLine: return "malformedStatusLine";
        case Attack::hugeChunkSize: return "hugeChunkSize";
        case Attack::truncatedWithoutNotify: return "truncatedWithoutNotify";
        case Attack::handshakeStall: return "handshakeStall";
        case Attack::hugeCertificateChain: return "hugeCertificateChain";
        case Attack::raw: return "raw";
    }
    return "?";
}

struct HostileServer::Tls {
    SSL_CTX* normal = nullptr;
    SSL_CTX* bigChain = nullptr;
    ~Tls() {
        SSL_CTX_free(normal);
        SSL_CTX_free(bigChain);
    }
};

HostileServer::HostileServer(const pki::IssuedCertificate& certificate, const std::string& caCertificatePem)
    : tls_(std::make_unique<Tls>()) {
    // A client that hangs up mid-write must not kill the process: OpenSSL
    // writes to the socket with write(), which raises SIGPIPE.
    ::signal(SIGPIPE, SIG_IGN);
    tls_->normal = makeContext(certificate, caCertificatePem, 0);
    // About 1 MiB: each copy of the CA's certificate is some 500 bytes.
    tls_->bigChain = makeContext(certificate, caCertificatePem, 2000);
    listener_ = ::socket(AF_INET, SOCK_STREAM, 0);
    sockaddr_in address{};
    address.sin_family = AF_INET;
    address.sin_addr.s_addr = htonl(INADDR_LOOPBACK);
    socklen_t size = sizeof address;
    if (listener_ < 0 || ::bind(listener_, reinterpret_cast<sockaddr*>(&address), size) != 0 ||
        ::listen(listener_, 16) != 0 ||
        ::getsockname(listener_, reinterpret_cast<sockaddr*>(&address), &size) != 0) {
        if (listener_ >= 0) ::close(listener_);
        throw std::runtime_error("hostile server: cannot listen on loopback");
    }
    port_ = ntohs(address.sin_port);
    thread_ = std::thread([this] { run(); });
}

HostileServer::~HostileServer() {
    stop_ = true;
    if (thread_.joinable()) thread_.join();
    ::close(listener_);
}

void HostileServer::play(Attack attack) {
    std::lock_guard lock(mutex_);
    attack_ = attack;
}

void HostileServer::setRawResponse(std::string bytes) {
    std::lock_guard lock(mutex_);
    attack_ = Attack::raw;
    raw_ = std::move(bytes);
}

void HostileServer::setTrickleInterval(std::chrono::milliseconds interval) {
    std::lock_guard lock(mutex_);
    trickleInterval_ = interval;
}

std::string HostileServer::baseURL() const {
    return "https://127.0.0.1:" + std::to_string(port_);
}

void HostileServer::run() {
    while (!stopping()) {
        pollfd waiting{listener_, POLLIN, 0};
        if (::poll(&waiting, 1, static_cast<int>(kSlice.count())) <= 0) continue;
        const int socket = ::accept(listener_, nullptr, nullptr);
        if (socket < 0) continue;
        ++connections_;
        // Reads and writes give up every slice, so that a stop is noticed.
        timeval slice{0, static_cast<suseconds_t>(std::chrono::microseconds(kSlice).count())};
        ::setsockopt(socket, SOL_SOCKET, SO_RCVTIMEO, &slice, sizeof slice);
        ::setsockopt(socket, SOL_SOCKET, SO_SNDTIMEO, &slice, sizeof slice);
        serve(socket);
        ::close(socket);
    }
}

void HostileServer::serve(int socket) {
    Attack attack;
    std::string raw;
    std::chrono::milliseconds trickle;
    {
        std::lock_guard lock(mutex_);
        attack = attack_;
        raw = raw_;
        trickle = trickleInterval_;
    }
    if (attack == Attack::handshakeStall) {
        // Take the client's hello and say nothing, until it gives up.
        char sink[4096];
        while (!stopping()) {
            const ssize_t got = ::recv(socket, sink, sizeof sink, 0);
            if (got == 0 || (got < 0 && errno != EAGAIN && errno != EWOULDBLOCK && errno != EINTR)) return;
        }
        return;
    }
    SSL* ssl = SSL_new(attack == Attack::hugeCertificateChain ? tls_->bigChain : tls_->normal);
    SSL_set_fd(ssl, socket);
    // Retries an operation that timed out on a slice, until it succeeds, fails or the server stops.
    const auto retry = [&](auto operation) {
        for (;;) {
            const int result = operation();
            if (result > 0) return result;
            const int error = SSL_get_error(ssl, result);
            if ((error == SSL_ERROR_WANT_READ || error == SSL_ERROR_WANT_WRITE ||
                 (error == SSL_ERROR_SYSCALL && (errno == EAGAIN || errno == EWOULDBLOCK))) &&
                !stopping())
                continue;
            ERR_clear_error();
            return -1;
        }
    };
    const auto send = [&](std::string_view bytes) {
        while (!bytes.empty()) {
            const int wrote = retry([&] { return SSL_write(ssl, bytes.data(), static_cast<int>(std::min<std::size_t>(bytes.size(), 1 << 14))); });
            if (wrote <= 0) return false;
            bytesSent_ += wrote;
            bytes.remove_prefix(static_cast<std::size_t>(wrote));
        }
        return true;
    };
    const auto finish = [&](bool notify) {
        if (notify) SSL_shutdown(ssl);
        SSL_free(ssl);
    };
    if (retry([&] { return SSL_accept(ssl); }) <= 0) return finish(false);

    // The request: its head, then as much body as it announced (read and dropped).
    std::string request;
    char buffer[16384];
    std::size_t headEnd = std::string::npos;
    while (headEnd == std::string::npos && request.size() < (1 << 20)) {
        const int got = retry([&] { return SSL_read(ssl, buffer, sizeof buffer); });
        if (got <= 0) return finish(false);
        request.append(buffer, static_cast<std::size_t>(got));
        headEnd = request.find("\r\n\r\n");
    }
    if (headEnd == std::string::npos) return finish(false);
    std::string head = request.substr(0, headEnd);
    std::transform(head.begin(), head.end(), head.begin(), [](unsigned char c) { return std::tolower(c); });
    long long remaining = 0;
    if (const auto at = head.find("\r\ncontent-length:"); at != std::string::npos)
        remaining = std::atoll(head.c_str() + at + 17);
    remaining -= static_cast<long long>(request.size() - headEnd - 4);
    while (remaining > 0) {
        const int got = retry([&] { return SSL_read(ssl, buffer, sizeof buffer); });
        if (got <= 0) return finish(false);
        remaining -= got;
    }

    switch (attack) {
        case Attack::trickle: {
            if (!send("HTTP/1.1 200 OK\r\nContent-Type: application/json\r\nContent-Length: 1000000\r\n\r\n{"))
                return finish(false);
            for (;;) {
                for (auto waited = std::chrono::milliseconds(0); waited < trickle && !stopping(); waited += kSlice)
                    std::this_thread::sleep_for(std::min(kSlice, trickle - waited));
                if (stopping() || !send(" ")) return finish(false);
            }
        }
        case Attack::compressionBomb:
            send(withLength("200 OK", "Content-Type: application/json\r\nContent-Encoding: gzip\r\n", gzipBomb()));
            break;
        case Attack::conflictingLengths:
            send("HTTP/1.1 200 OK\r\nContent-Type: application/json\r\nContent-Length: 2\r\nContent-Length: " +
                 std::to_string(kEnvelope.size()) + "\r\nConnection: close\r\n\r\n" + kEnvelope);
            break;
        case Attack::chunkedAndLength:
            send("HTTP/1.1 200 OK\r\nContent-Type: application/json\r\nTransfer-Encoding: chunked\r\n"
                 "Content-Length: 5\r\nConnection: close\r\n\r\n2\r\n{}\r\n0\r\n\r\n");
            break;
        case Attack::hugeHeader:
            send(withLength("200 OK", "X-Padding: " + std::string(1 << 20, 'a') + "\r\n", kEnvelope));
            break;
        case Attack::manyHeaders: {
            std::string headers;
            for (int i = 0; i < 10000; ++i) headers += "X-Header-" + std::to_string(i) + ": v\r\n";
            send(withLength("200 OK", headers, kEnvelope));
            break;
        }
        case Attack::nonAsciiHeader:
            send(withLength("200 OK", std::string("X-Name: caf\xc3\xa9 \xff\xfe \0 end\r\n", 24), kEnvelope));
            break;
        case Attack::status299:
            send(withLength("299 Odd", "Content-Type: application/json\r\n", kEnvelope));
            break;
        case Attack::status600:
            send(withLength("600 Beyond", "Content-Type: application/json\r\n", kEnvelope));
            break;
        case Attack::malformedStatusLine:
            send("HTTP/1.1 2OO KO\r\nContent-Length: 2\r\n\r\n{}");
            break;
        case Attack::hugeChunkSize:
            send("HTTP/1.1 200 OK\r\nTransfer-Encoding: chunked\r\n\r\nFFFFFFFFFFFFFFFFFFFFFFFF\r\n" +
                 std::string(4096, 'x'));
            break;
        case Attack::truncatedWithoutNotify:
            // No length: the body ends with the connection, which is cut mid-envelope.
            send("HTTP/1.1 200 OK\r\nContent-Type: application/json\r\nConnection: close\r\n\r\n" +
                 kEnvelope.substr(0, kEnvelope.size() / 2));
            return finish(false);
        case Attack::hugeCertificateChain:
            send(withLength("200 OK", "Content-Type: application/json\r\n", kEnvelope));
            break;
        case Attack::raw:
            send(raw);
            break;
        case Attack::handshakeStall:
            break;
    }
    finish(true);
}

}  // namespace ovira::hostile
