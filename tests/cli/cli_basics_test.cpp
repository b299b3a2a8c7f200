#include <gtest/gtest.h>

#include "cli/cli_process.h"

namespace korvane::testing {
namespace {

TEST(CliBasics, HelpAndUnknownCommand) {
  const ProcessResult help = RunCli({"--help"});
  EXPECT_EQ(help.status, 0);
  EXPECT_NE(help.out.find("usage: korvane-cli"), std::string::npos);

  const ProcessResult unknown = RunCli({"frobnicate"});
  EXPECT_EQ(unknown.status, 2);
  EXPECT_TRUE(unknown.out.empty());
  EXPECT_NE(unknown.err.find("frobnicate"), std::string::npos);
}

}  // namespace
}  // namespace korvane::testing
