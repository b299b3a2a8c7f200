// The ten standards: display names, stored names, groups, the test-method
// names and the rule that refuses some switches of standard.
#pragma once

#include <optional>
#include <string>
#include <string_view>

namespace korvane {

// Test methods (zone and project `testMethod`).
inline constexpr int kMethodAngle = 0;    // "角测"
inline constexpr int kMethodSurface = 1;  // "平测"
inline constexpr int kMethodDirect = 2;   // "对测"

inline constexpr int kStandardCount = 10;

// Standard indices.
inline constexpr int kCECS02_2005 = 0;
inline constexpr int kTB10426_2004 = 1;
inline constexpr int kCECS02_2020 = 2;
inline constexpr int kJTS239_2015 = 3;
inline constexpr int kTB10426_2019 = 4;
inline constexpr int kDB51T_1996_2015 = 5;
inline constexpr int kDGTJ08_2020_2007 = 6;
inline constexpr int kDB61T1084_2017 = 7;
inline constexpr int kDB37T2361_2013 = 8;
inline constexpr int kDGJ32TJ144_2012 = 9;

// Display name of index i; "CECS 02-2020" for an index outside 0..9.
std::string_view StandardDisplayName(int index);

// Stored form of a name: A-Z lowered, every space removed ("cecs02:2005").
std::string StoredStandardName(std::string_view displayName);

// First index whose stored form equals `stored` exactly; 2 when none does.
int StandardIndexOfStoredName(std::string_view stored);

// Index of an exact display name, or of a decimal index "0".."9"; nullopt
// when the text names no standard (used by the command line).
std::optional<int> ParseStandard(std::string_view text);

// Test methods: 0 "角测", 1 "平测", 2 "对测"; any other index is "角测".
std::string_view TestMethodName(int method);
// Compares with the three names in order; 0 when none matches.
int TestMethodIndex(std::string_view name);

// Analysis form offers Δ (not η) for these standards.
bool IsAdditiveCorrectionStandard(int index);
// Analysis form offers the fourth coefficient d (with custom aggregate).
bool IsCarbonationTermStandard(int index);
// After a file is opened the project's test method becomes 2 ("对测").
bool IsFixedTestMethodStandard(int index);

// Whether the main form lets the user change the test method of a zone
// tested by `zoneMethod` (nullopt: no zone).
bool TestMethodListEnabled(int standardIndex, std::optional<int> zoneMethod);

// Whether a switch of standard is allowed while the zone shown was tested by
// `zoneMethod` (nullopt: no zone shown, never allowed). When refused, `message` is the text
// "当前规范(%s)及测试方式(%s)下，无法切换到新规范(%s)！" filled in.
struct StandardSwitch {
  bool allowed = false;
  std::string message;
};
StandardSwitch CheckStandardSwitch(int currentIndex, int requestedIndex, std::optional<int> zoneMethod);

}  // namespace korvane
