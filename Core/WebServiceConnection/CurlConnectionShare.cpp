#include "Core/WebServiceConnection/CurlConnectionShare.h"

#include "Core/WebServiceConnection/CurlTransfer.h"

namespace CVClientData {

// Shares the connection cache and host-name answers.
CurlConnectionShare::CurlConnectionShare()
{
    CurlTransfer::InitialiseLibraryOnce();
    mHandle = curl_share_init();
    if (mHandle == nullptr)
        return;
    curl_share_setopt(mHandle, CURLSHOPT_LOCKFUNC, &CurlConnectionShare::mLock);
    curl_share_setopt(mHandle, CURLSHOPT_UNLOCKFUNC, &CurlConnectionShare::mUnlock);
    curl_share_setopt(mHandle, CURLSHOPT_USERDATA, this);
    for (curl_lock_data data : {CURL_LOCK_DATA_CONNECT, CURL_LOCK_DATA_DNS}) {
        if (curl_share_setopt(mHandle, CURLSHOPT_SHARE, data) != CURLSHE_OK) {
            curl_share_cleanup(mHandle);
            mHandle = nullptr;
            return;
        }
    }
}

// Closes the connections still open.
CurlConnectionShare::~CurlConnectionShare()
{
    if (mHandle != nullptr)
        curl_share_cleanup(mHandle);
}

// libcurl's lock callback: one mutex per kind of data, shared or not.
void CurlConnectionShare::mLock(CURL*, curl_lock_data data, curl_lock_access, void* share)
{
    static_cast<CurlConnectionShare*>(share)->mLocks.at(static_cast<size_t>(data)).lock();
}

void CurlConnectionShare::mUnlock(CURL*, curl_lock_data data, void* share)
{
    static_cast<CurlConnectionShare*>(share)->mLocks.at(static_cast<size_t>(data)).unlock();
}

}  // namespace CVClientData
