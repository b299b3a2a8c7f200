// Subcommands of korvane-cli. Each takes the arguments after the command
// name, writes its output to `out`, and returns the exit status. Bad
// arguments raise UsageError (status 2); read and write failures raise
// KorvaneError (status 1); both are reported by main().
#pragma once

#include <iosfwd>
#include <string>
#include <vector>

namespace korvane::cli {

using Args = std::vector<std::string>;

int RunZone(const Args& args, std::ostream& out, std::ostream& err);
int RunEstimate(const Args& args, std::ostream& out, std::ostream& err);
int RunInfo(const Args& args, std::ostream& out, std::ostream& err);
int RunEvaluate(const Args& args, std::ostream& out, std::ostream& err);
int RunConvert(const Args& args, std::ostream& out, std::ostream& err);
int RunMerge(const Args& args, std::ostream& out, std::ostream& err);
int RunGenerate(const Args& args, std::ostream& out, std::ostream& err);
int RunWaveform(const Args& args, std::ostream& out, std::ostream& err);
int RunReport(const Args& args, std::ostream& out, std::ostream& err);
int RunExport(const Args& args, std::ostream& out, std::ostream& err);
int RunPick(const Args& args, std::ostream& out, std::ostream& err);

}  // namespace korvane::cli
