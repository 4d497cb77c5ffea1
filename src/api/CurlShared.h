#pragma once
// Process-wide libcurl state: the one-time global initialisation and the pool
// of open connections that every HTTP client draws from. Pooling lets a fresh
// per-request client reuse the keep-alive connection of the previous one while
// starting with its own headers and without cookies (only connections, DNS
// answers and TLS sessions are shared, never cookies). The easy handles of
// cookie-less clients are recycled too: setting one up costs as much as the
// rest of a request to a nearby server.

#include <curl/curl.h>

namespace curlshared {

// Runs curl_global_init once for the process (thread-safe); later calls do nothing.
void ensureGlobalInit();

// The share handle holding the connection pool. Created on first use and kept
// for the life of the process, so it outlives every easy handle attached to it.
[[nodiscard]] CURLSH* connectionPool();

// An easy handle for a client that keeps no cookies: a recycled one when
// available (reset to libcurl's defaults, so it carries nothing of its earlier
// requests), otherwise a new one; nullptr when libcurl cannot make one.
[[nodiscard]] CURL* takeEasyHandle();
// Gives back a handle from takeEasyHandle: reset and kept for the next client
// (a few are kept; the rest are cleaned up).
void recycleEasyHandle(CURL* handle);

// Frees what the TLS library keeps for the calling thread (its error queue,
// its random generators). Called last by a thread that made requests: the
// library would free them only once the thread has ended, and a thread whose
// end is awaited (QThread::wait) may still be ending when the process exits,
// after the library's own clean-up has already run. Nothing to do where
// libcurl uses Schannel (Windows).
void releaseThreadState();

} // namespace curlshared
