// The stop and reload requests of the headless runner: SIGINT, SIGTERM and
// SIGHUP arrive as requests on the descriptor of installProcessRequestPipe, also
// after the Firebird client has attached a database, when it has installed
// signal handlers of its own that would end the process at once.

#include "support/fixtures/ErpDatabase.h"
#include "support/Platform.h"

#include <gtest/gtest.h>

#include <csignal>

namespace {

using platform::ProcessRequest;

TEST(ProcessRequests, SignalsBecomeRequestsAlsoAfterAFirebirdAttachment) {
#if defined(SIGHUP)
    // Once per process, as in the headless runner, before the first attachment.
    const int fd = platform::installProcessRequestPipe();
    if (fd < 0) GTEST_SKIP() << "this platform hands no signals to the program";

    const ErpDatabase db;
    ASSERT_EQ(db.integer(QStringLiteral("select count(*) from rdb$database")), 1);
    EXPECT_EQ(platform::readProcessRequest(fd), ProcessRequest::None);

    const struct {
        int signal;
        ProcessRequest request;
    } cases[] = {
        {SIGHUP, ProcessRequest::Reload},
        {SIGTERM, ProcessRequest::End},
        {SIGINT, ProcessRequest::End},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(c.signal);
        ASSERT_EQ(std::raise(c.signal), 0);
        EXPECT_EQ(platform::readProcessRequest(fd), c.request);
        EXPECT_EQ(platform::readProcessRequest(fd), ProcessRequest::None);
    }
    // The database is still usable: nothing was shut down.
    EXPECT_EQ(db.integer(QStringLiteral("select count(*) from rdb$database")), 1);
#else
    GTEST_SKIP() << "this platform has no SIGHUP";
#endif
}

} // namespace
