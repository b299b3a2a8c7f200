// Subcommands of korvane-cli. Each takes the arguments after the command
// name, writes its output to `out`, and returns the exit status. Bad
// arguments raise UsageError (status 2); read and write failures raise
// KorvaneError (status 1); both are reported by main().
#pragma once

#include <iosfwd>
#include <string>
#include <string_view>
#include <vector>

namespace korvane::cli {

// What the report and export commands print (status 1) in builds without
// the Qt renderer or without the Word and Excel writers (as the Windows
// cross-build of the core and the tool).
inline constexpr std::string_view kLacksRenderer =
    "this build cannot print reports: it has no report renderer (Qt). Use a build with KORVANE_BUILD_QT=ON";
inline constexpr std::string_view kLacksOffice =
    "this build cannot write Word or Excel files: it has no office writers. Use a build with "
    "KORVANE_BUILD_OFFICE=ON";

// Whether this build has the commands above.
#ifdef KORVANE_WITH_QT
inline constexpr bool kHasRenderer = true;
#else
inline constexpr bool kHasRenderer = false;
#endif
#ifdef KORVANE_WITH_OFFICE
inline constexpr bool kHasOffice = true;
#else
inline constexpr bool kHasOffice = false;
#endif

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
int RunCurve(const Args& args, std::ostream& out, std::ostream& err);
int RunCores(const Args& args, std::ostream& out, std::ostream& err);

}  // namespace korvane::cli
