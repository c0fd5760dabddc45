#pragma once

#include <curl/curl.h>

#include <array>
#include <mutex>

namespace CVClientData {

// The open connections and host-name answers that every transfer of one web
// service shares, so that a job's requests, and the next job's, go over a
// connection that is already open instead of a new TLS handshake each. (TLS
// sessions are not shared: OpenSSL then hands one session's data between
// threads in ways ThreadSanitizer cannot follow, and an open connection
// needs no session.)
// libcurl takes the share's lock only while it takes a connection from the
// cache or puts one back, never across a transfer, so transfers on many
// threads run side by side. The share must outlive every transfer that uses it.
class CurlConnectionShare {
public:
    CurlConnectionShare();
    ~CurlConnectionShare();
    CurlConnectionShare(const CurlConnectionShare&) = delete;
    CurlConnectionShare& operator=(const CurlConnectionShare&) = delete;

    // The share to hand to a transfer; null when libcurl could not make one
    // (every transfer then opens and closes its own connection).
    CURLSH* Handle() const { return mHandle; }

private:
    static void mLock(CURL* handle, curl_lock_data data, curl_lock_access access, void* share);
    static void mUnlock(CURL* handle, curl_lock_data data, void* share);

    CURLSH* mHandle = nullptr;
    // One lock for each kind of data libcurl shares (indexed by curl_lock_data).
    std::array<std::mutex, CURL_LOCK_DATA_LAST> mLocks;
};

}  // namespace CVClientData
