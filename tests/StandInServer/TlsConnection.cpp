#include "tests/StandInServer/TlsConnection.h"

#include <stdexcept>

namespace StandIn {

// Loads the certificate chain and key; TLS 1.2 at least, as clients expect.
TlsContext::TlsContext(const std::string& certificateFile, const std::string& keyFile)
    : mContext(SSL_CTX_new(TLS_server_method()))
{
    if (!mContext)
        throw std::runtime_error("stand-in server: no TLS context");
    SSL_CTX_set_min_proto_version(mContext.get(), TLS1_2_VERSION);
    if (SSL_CTX_use_certificate_chain_file(mContext.get(), certificateFile.c_str()) != 1
        || SSL_CTX_use_PrivateKey_file(mContext.get(), keyFile.c_str(), SSL_FILETYPE_PEM) != 1
        || SSL_CTX_check_private_key(mContext.get()) != 1)
        throw std::runtime_error("stand-in server: TLS set-up failed");
}

// A TLS session on the socket, not yet shaken hands.
TlsConnection::TlsConnection(const TlsContext& context, int socket) : mSsl(SSL_new(context.Get()))
{
    if (mSsl)
        SSL_set_fd(mSsl.get(), socket);
}

// Frees the session; the socket stays with its owner.
TlsConnection::~TlsConnection() = default;

// Runs the server side of the handshake.
bool TlsConnection::Accept()
{
    return mSsl && SSL_accept(mSsl.get()) == 1;
}

// Reads what is there, at most size bytes.
size_t TlsConnection::ReadSome(char* data, size_t size)
{
    size_t read = 0;
    if (!mSsl || size == 0 || SSL_read_ex(mSsl.get(), data, size, &read) != 1)
        return 0;
    return read;
}

// Writes every byte.
bool TlsConnection::WriteAll(std::string_view bytes)
{
    while (!bytes.empty()) {
        size_t written = 0;
        if (!mSsl || SSL_write_ex(mSsl.get(), bytes.data(), bytes.size(), &written) != 1)
            return false;
        bytes.remove_prefix(written);
    }
    return true;
}

// Says goodbye without waiting for the client's answer.
void TlsConnection::Close()
{
    if (mSsl)
        SSL_shutdown(mSsl.get());
}

}  // namespace StandIn
