#include "api/CurlShared.h"

#include "support/Errors.h"

#ifdef KORVANTA_OPENSSL
#include <openssl/crypto.h>
#endif

#include <array>
#include <mutex>
#include <vector>

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

// Easy handles waiting for their next client; never more than kMaxIdleHandles.
constexpr size_t kMaxIdleHandles = 4;
std::mutex g_idleMutex;
std::vector<CURL*>& idleHandles() {
    // Never destroyed, like the pool: a client of a static object may still
    // give its handle back while the process ends.
    static auto* const handles = new std::vector<CURL*>;
    return *handles;
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

CURL* takeEasyHandle() {
    ensureGlobalInit();
    {
        const std::lock_guard<std::mutex> lock(g_idleMutex);
        auto& idle = idleHandles();
        if (!idle.empty()) {
            CURL* handle = idle.back();
            idle.pop_back();
            return handle;
        }
    }
    return curl_easy_init();
}

void recycleEasyHandle(CURL* handle) {
    if (!handle) return;
    curl_easy_reset(handle);
    {
        const std::lock_guard<std::mutex> lock(g_idleMutex);
        auto& idle = idleHandles();
        if (idle.size() < kMaxIdleHandles) {
            idle.push_back(handle);
            return;
        }
    }
    curl_easy_cleanup(handle);
}

void releaseThreadState() {
#ifdef KORVANTA_OPENSSL
    OPENSSL_thread_stop();
#endif
}

} // namespace curlshared
