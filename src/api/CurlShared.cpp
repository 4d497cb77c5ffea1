#include "api/CurlShared.h"

#include "support/Errors.h"

#include <array>
#include <mutex>

namespace {

// One mutex per kind of shared data, so a client working on the DNS cache does
// not wait for another one taking a connection.
std::array<std::mutex, CURL_LOCK_DATA_LAST>& locks() {
    static std::array<std::mutex, CURL_LOCK_DATA_LAST> l;
    return l;
}

void lockShared(CURL*, curl_lock_data data, curl_lock_access, void*) {
    locks()[static_cast<size_t>(data)].lock();
}

void unlockShared(CURL*, curl_lock_data data, void*) {
    locks()[static_cast<size_t>(data)].unlock();
}

CURLSH* createPool() {
    curlshared::ensureGlobalInit();
    CURLSH* share = curl_share_init();
    if (!share) throw AppError(QStringLiteral("libcurl: could not create the shared connection pool"));
    curl_share_setopt(share, CURLSHOPT_LOCKFUNC, lockShared);
    curl_share_setopt(share, CURLSHOPT_UNLOCKFUNC, unlockShared);
    curl_share_setopt(share, CURLSHOPT_SHARE, CURL_LOCK_DATA_CONNECT);
    curl_share_setopt(share, CURLSHOPT_SHARE, CURL_LOCK_DATA_DNS);
    curl_share_setopt(share, CURLSHOPT_SHARE, CURL_LOCK_DATA_SSL_SESSION);
    return share;
}

} // namespace

namespace curlshared {

void ensureGlobalInit() {
    static const CURLcode rc = curl_global_init(CURL_GLOBAL_DEFAULT);
    if (rc != CURLE_OK)
        throw AppError(QStringLiteral("libcurl: global initialisation failed: %1")
                           .arg(QString::fromUtf8(curl_easy_strerror(rc))));
}

CURLSH* connectionPool() {
    // Deliberately never cleaned up: easy handles of static objects may still
    // hold it while the process ends.
    static CURLSH* const pool = createPool();
    return pool;
}

} // namespace curlshared
