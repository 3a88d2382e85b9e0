// The game's command line: what plays, what answers and what is refused.
#include <gtest/gtest.h>

#include <sstream>

#include "startup/command_line.h"
#include "vark_build_info.h"

namespace vark {
namespace {

using Action = CommandLine::Action;

TEST(CommandLine, NoArgumentsPlayFullScreenAndWindowedPlaysInAWindow) {
  CommandLine plain = ParseCommandLine({});
  EXPECT_EQ(plain.action, Action::Play);
  EXPECT_FALSE(plain.windowed);
  CommandLine windowed = ParseCommandLine({"--windowed"});
  EXPECT_EQ(windowed.action, Action::Play);
  EXPECT_TRUE(windowed.windowed);
}

TEST(CommandLine, SetupOpensTheSetUpProgramUnlessAnAnswerIsAsked) {
  EXPECT_EQ(ParseCommandLine({"--setup"}).action, Action::Setup);
  CommandLine windowed = ParseCommandLine({"--setup", "--windowed"});
  EXPECT_EQ(windowed.action, Action::Setup);
  EXPECT_TRUE(windowed.windowed);
  EXPECT_EQ(ParseCommandLine({"--setup", "--help"}).action, Action::Help);
  EXPECT_EQ(ParseCommandLine({"--version", "--setup"}).action, Action::Version);
  EXPECT_EQ(ParseCommandLine({"--setup", "--setup"}).action, Action::Setup);
  EXPECT_EQ(ParseCommandLine({"--setup", "--set-up"}).action, Action::Wrong);
}

TEST(CommandLine, HelpAndVersionAnswerOnStandardOutput) {
  std::ostringstream out, err;
  EXPECT_EQ(AnswerCommandLine(ParseCommandLine({"--help"}), out, err), 0);
  EXPECT_NE(out.str().find("--windowed"), std::string::npos);
  EXPECT_NE(out.str().find("--setup"), std::string::npos);
  EXPECT_TRUE(err.str().empty());

  std::ostringstream versionOut;
  EXPECT_EQ(AnswerCommandLine(ParseCommandLine({"--windowed", "--version"}), versionOut, err), 0);
  EXPECT_EQ(versionOut.str(), std::string("vark ") + build_info::kVersion + "\n");
  EXPECT_EQ(ParseCommandLine({"--version", "--help"}).action, Action::Version);
  EXPECT_EQ(ParseCommandLine({"--help", "--version"}).action, Action::Help);
}

TEST(CommandLine, AnUnknownArgumentIsRefusedWithTheUsageOnStandardError) {
  for (std::vector<std::string> args : std::vector<std::vector<std::string>>{
           {"--fullscreen"}, {"--windowed", "-x"}, {"--help", "extra"}, {""}, {"--windowed=1"}}) {
    CommandLine line = ParseCommandLine(args);
    ASSERT_EQ(line.action, Action::Wrong) << args.back();
    std::ostringstream out, err;
    EXPECT_EQ(AnswerCommandLine(line, out, err), 2);
    EXPECT_TRUE(out.str().empty());
    EXPECT_NE(err.str().find("Usage: vark"), std::string::npos);
    EXPECT_NE(err.str().find(args.back()), std::string::npos);
  }
}

}  // namespace
}  // namespace vark
