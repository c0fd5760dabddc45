#pragma once

#include <openssl/ssl.h>

#include <cstddef>
#include <memory>
#include <string>
#include <string_view>

namespace StandIn {

// The server side of TLS: one context with the server's certificate chain
// and key, shared by every connection (OpenSSL allows that across threads).
class TlsContext {
public:
    // Throws std::runtime_error when the files cannot be used.
    TlsContext(const std::string& certificateFile, const std::string& keyFile);

    SSL_CTX* Get() const { return mContext.get(); }

private:
    struct ContextDeleter {
        void operator()(SSL_CTX* context) const { SSL_CTX_free(context); }
    };
    std::unique_ptr<SSL_CTX, ContextDeleter> mContext;
};

// One accepted TLS connection on a socket the object does not own, read and
// written in blocking mode (the socket's own time-outs bound every call).
class TlsConnection {
public:
    TlsConnection(const TlsContext& context, int socket);
    ~TlsConnection();
    TlsConnection(const TlsConnection&) = delete;
    TlsConnection& operator=(const TlsConnection&) = delete;

    // The TLS handshake; false when the client left or spoke no TLS.
    bool Accept();
    // Up to size bytes; 0 at the end of the stream or on an error.
    size_t ReadSome(char* data, size_t size);
    // All bytes, or false.
    bool WriteAll(std::string_view bytes);
    // Sends the TLS close notice (best effort).
    void Close();

private:
    struct SslDeleter {
        void operator()(SSL* ssl) const { SSL_free(ssl); }
    };
    std::unique_ptr<SSL, SslDeleter> mSsl;
};

}  // namespace StandIn
