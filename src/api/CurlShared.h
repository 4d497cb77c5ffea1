#pragma once
// Process-wide libcurl state: the one-time global initialisation and the pool
// of open connections that every HTTP client draws from. Pooling lets a fresh
// per-request client reuse the keep-alive connection of the previous one while
// starting with its own headers and without cookies (only connections, DNS
// answers and TLS sessions are shared, never cookies).

#include <curl/curl.h>

namespace curlshared {

// Runs curl_global_init once for the process (thread-safe); later calls do nothing.
void ensureGlobalInit();

// The share handle holding the connection pool. Created on first use and kept
// for the life of the process, so it outlives every easy handle attached to it.
[[nodiscard]] CURLSH* connectionPool();

} // namespace curlshared
