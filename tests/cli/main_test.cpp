// The top level of lorvane-cli: --version, --help, and a standard output that cannot
// be written.

#include "support/TestSupport.h"

#include <gtest/gtest.h>

#include <cerrno>
#include <cstddef>
#include <string>
#include <system_error>
#include <vector>

namespace lorvane {
namespace {

using test::CliRun;
using test::RunCli;

TEST(MainCommand, VersionComesFromTheProject) {
    const std::string version = LORVANE_VERSION;
    // Digits and dots, as CMake's project version.
    ASSERT_FALSE(version.empty());
    EXPECT_EQ(version.find_first_not_of("0123456789."), std::string::npos) << version;
    const CliRun run = RunCli({"--version"});
    EXPECT_EQ(run.status, 0);
    EXPECT_EQ(run.err, "");
    EXPECT_EQ(run.out, "lorvane-cli " + version + "\n");
}

TEST(MainCommand, UsageNamesVersion) {
    const CliRun run = RunCli({"--help"});
    EXPECT_EQ(run.status, 0);
    EXPECT_NE(run.out.find("lorvane-cli --version"), std::string::npos) << run.out;
    // The usage of a usage error is the same text.
    EXPECT_NE(RunCli({}).err.find(run.out), std::string::npos);
}

TEST(MainCommand, AFailedWriteGivesStatus1) {
    ASSERT_TRUE(std::filesystem::exists("/dev/full"));
    const std::string message = "lorvane-cli: Die Ausgabe konnte nicht geschrieben werden: Auf "
                                "dem Datenträger ist kein Speicherplatz mehr frei\n";
    for (const std::string option : {"--help", "-h", "--version"}) {
        SCOPED_TRACE(option);
        const CliRun full = RunCli({option}, " >/dev/full");
        EXPECT_EQ(full.status, 1);
        EXPECT_EQ(full.err, message);
        // The same call with a writable output succeeds.
        const CliRun plain = RunCli({option});
        EXPECT_EQ(plain.status, 0);
        EXPECT_EQ(plain.err, "");
    }
}

} // namespace
} // namespace lorvane
