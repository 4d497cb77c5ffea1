// The command line: every mode with its options, and the usage errors with the
// exit status each one gets (3 for a status query, as monitoring agents read it).

#include "app/CommandLine.h"
#include "support/fixtures/TestPaths.h"

#include <gtest/gtest.h>

namespace {

using Mode = cli::Options::Mode;

TEST(CommandLine, ModesAndTheirOptions) {
    const TempFolder folder;
    struct Case {
        QStringList args;
        Mode mode;
    };
    const Case cases[] = {
        {{}, Mode::Tray},
        {{"--dir", folder.path()}, Mode::Tray},
        {{"--dir=" + folder.path(), "--headless"}, Mode::Headless},
        {{"--once", "tick"}, Mode::Once},
        {{"--once", "send-sales", "pendentes-3", "--dir", folder.path()}, Mode::Once},
        {{"--status"}, Mode::Status},
        {{"--status", "--json", "--warn-age", "5", "--crit-age", "60"}, Mode::Status},
        {{"--help"}, Mode::Help},
        {{"-h"}, Mode::Help},
        {{"--version"}, Mode::Version},
    };
    for (const Case& c : cases) {
        const cli::Parsed parsed = cli::parse(c.args);
        ASSERT_TRUE(parsed.options) << c.args.join(' ').toStdString() << ": " << parsed.error.toStdString();
        EXPECT_EQ(parsed.options->mode, c.mode) << c.args.join(' ').toStdString();
    }

    const cli::Parsed sales = cli::parse({"--once", "send-sales", "10/06/2020"});
    ASSERT_TRUE(sales.options && sales.options->once);
    EXPECT_EQ(sales.options->once->kind, headless::OnceCommand::Kind::SendSales);
    EXPECT_EQ(sales.options->once->argument, "10/06/2020");

    const cli::Parsed status = cli::parse({"--status", "--json", "--warn-age", "5", "--crit-age", "60"});
    ASSERT_TRUE(status.options);
    EXPECT_TRUE(status.options->json);
    EXPECT_EQ(status.options->warnAgeMinutes, 5);
    EXPECT_EQ(status.options->critAgeMinutes, 60);
    const cli::Parsed defaults = cli::parse({"--status"});
    EXPECT_FALSE(defaults.options->json);
    EXPECT_LT(defaults.options->warnAgeMinutes, defaults.options->critAgeMinutes);
}

TEST(CommandLine, UsageErrors) {
    struct Case {
        QStringList args;
        int status;
        QString says;
    };
    const Case cases[] = {
        {{"--bogus"}, 2, "unknown option 'bogus'"},
        {{"--once"}, 2, "--once needs a command"},
        {{"--once", "send-sales", "x"}, 2, "'x' is neither a mode nor a date"},
        {{"--once", "send-sales"}, 2, "needs one argument"},
        {{"--once", "tick", "extra"}, 2, "takes no argument"},
        {{"--dir", "/no/such/folder"}, 2, "folder not found"},
        {{"--dir"}, 2, "--dir needs a folder"},
        {{"--headless", "--once", "tick"}, 2, "exclude each other"},
        {{"--headless", "--json"}, 2, "go with --status"},
        {{"stray"}, 2, "unknown option 'stray'"},
        {{"--status", "--headless"}, 3, "--status excludes"},
        {{"--status", "--warn-age", "soon"}, 3, "whole number of minutes"},
        {{"--status", "--warn-age", "-1"}, 3, "whole number of minutes"},
        {{"--status", "--warn-age", "90", "--crit-age", "60"}, 3, "above --crit-age"},
        {{"--status", "--bogus"}, 3, "unknown option"},
        {{"--status", "--dir", "a", "--dir", "b"}, 3, "more than once"},
    };
    for (const Case& c : cases) {
        const cli::Parsed parsed = cli::parse(c.args);
        EXPECT_FALSE(parsed.options) << c.args.join(' ').toStdString();
        EXPECT_EQ(parsed.errorStatus, c.status) << c.args.join(' ').toStdString();
        EXPECT_TRUE(parsed.error.contains(c.says)) << c.args.join(' ').toStdString() << ": " << parsed.error.toStdString();
    }
    EXPECT_TRUE(QString::fromLatin1(cli::usage()).startsWith("Usage: korvanta-sync"));
}

} // namespace
