#include <gtest/gtest.h>

#include <regex>
#include <sstream>
#include <string>
#include <vector>

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

  const ProcessResult unknownHelp = RunCli({"help", "frobnicate"});
  EXPECT_EQ(unknownHelp.status, 2);
  EXPECT_TRUE(unknownHelp.out.empty());
}

// The commands the usage list names ("  name  summary" lines after "commands:").
std::vector<std::string> ListedCommands() {
  std::istringstream usage(RunCli({"--help"}).out);
  std::vector<std::string> names;
  const std::regex line(R"(^  ([a-z]+)\s.*)");
  std::smatch m;
  for (std::string text; std::getline(usage, text);) {
    if (std::regex_match(text, m, line)) names.push_back(m[1]);
  }
  return names;
}

// Every command the usage names has one page, reached both ways, and a
// section of the manual page and a word in the completion; every option its
// page documents is one the command's parser accepts (a documented option that
// the command rejects, or the reverse drift, is what a user trips on).
TEST(CliBasics, EveryCommandsHelpManualAndCompletionAgreeWithItsParser) {
  const std::vector<std::string> commands = ListedCommands();
  ASSERT_GE(commands.size(), 10U);
  const std::string man = RunCli({"--man"}).out;
  const std::string completion = RunCli({"--bash-completion"}).out;
  EXPECT_NE(man.find(".SH EXIT STATUS"), std::string::npos);
  const std::regex optionLine(R"(^  (--[a-z-]+)( [^ ]+)?\s{2,}.*)");
  int optionsChecked = 0;
  for (const std::string& command : commands) {
    SCOPED_TRACE(command);
    const ProcessResult page = RunCli({"help", command});
    ASSERT_EQ(page.status, 0);
    EXPECT_EQ(RunCli({command, "--help"}).out, page.out);
    // Also after other arguments: the page, and nothing run.
    EXPECT_EQ(RunCli({command, "no-such-file", "--help"}).out, page.out);
    EXPECT_NE(man.find(".SS " + command), std::string::npos);
    EXPECT_NE(completion.find(command), std::string::npos);

    std::istringstream lines(page.out);
    std::smatch m;
    for (std::string text; std::getline(lines, text);) {
      if (!std::regex_match(text, m, optionLine)) continue;
      const std::string option = m[1];
      std::vector<std::string> args{command, option};
      if (m[2].matched) args.emplace_back("x");
      const ProcessResult run = RunCli(args);
      ++optionsChecked;
      EXPECT_EQ(run.err.find("unknown option"), std::string::npos) << option << ": " << run.err;
      EXPECT_NE(completion.find(option), std::string::npos) << option;
    }
  }
  EXPECT_GE(optionsChecked, 30);
}

}  // namespace
}  // namespace korvane::testing
