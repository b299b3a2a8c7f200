#include "core/standards/standards.h"

#include <array>

namespace korvane {
namespace {

constexpr std::array<std::string_view, kStandardCount> kDisplayNames = {
    "CECS 02:2005",     "TB10426-2004",      "CECS 02-2020",     "JTS 239-2015",      "TB 10426-2019",
    "DB51/T 1996-2015", "DG/TJ08 2020-2007", "DB61/T 1084-2017", "DB 37/T 2361-2013", "DGJ32/TJ 144-2012"};

constexpr std::array<std::string_view, 3> kMethodNames = {"角测", "平测", "对测"};

}  // namespace

std::string_view StandardDisplayName(int index) {
  if (index < 0 || index >= kStandardCount) return kDisplayNames[kCECS02_2020];
  return kDisplayNames[static_cast<std::size_t>(index)];
}

std::string StoredStandardName(std::string_view displayName) {
  std::string stored;
  stored.reserve(displayName.size());
  for (char c : displayName) {
    if (c == ' ') continue;
    stored.push_back(c >= 'A' && c <= 'Z' ? static_cast<char>(c - 'A' + 'a') : c);
  }
  return stored;
}

int StandardIndexOfStoredName(std::string_view stored) {
  for (int i = 0; i < kStandardCount; ++i) {
    if (StoredStandardName(kDisplayNames[static_cast<std::size_t>(i)]) == stored) return i;
  }
  return kCECS02_2020;
}

std::optional<int> ParseStandard(std::string_view text) {
  if (text.size() == 1 && text[0] >= '0' && text[0] <= '9') return text[0] - '0';
  for (int i = 0; i < kStandardCount; ++i) {
    if (kDisplayNames[static_cast<std::size_t>(i)] == text) return i;
  }
  return std::nullopt;
}

std::string_view TestMethodName(int method) {
  if (method < 0 || method > 2) return kMethodNames[0];
  return kMethodNames[static_cast<std::size_t>(method)];
}

int TestMethodIndex(std::string_view name) {
  for (int i = 0; i < 3; ++i) {
    if (kMethodNames[static_cast<std::size_t>(i)] == name) return i;
  }
  return 0;
}

bool IsAdditiveCorrectionStandard(int index) {
  return index == kCECS02_2020 || index == kJTS239_2015 || index == kTB10426_2019 ||
         index == kDGTJ08_2020_2007 || index == kDB37T2361_2013 || index == kDGJ32TJ144_2012;
}

bool IsCarbonationTermStandard(int index) { return index == kDB37T2361_2013 || index == kDGJ32TJ144_2012; }

bool IsFixedTestMethodStandard(int index) { return index == kTB10426_2019 || index == kDB61T1084_2017; }

bool TestMethodListEnabled(int standardIndex, std::optional<int> zoneMethod) {
  if (IsFixedTestMethodStandard(standardIndex)) return false;
  const bool surface = zoneMethod == kMethodSurface;
  return !(surface && standardIndex != kCECS02_2005 && standardIndex != kTB10426_2004);
}

StandardSwitch CheckStandardSwitch(int currentIndex, int requestedIndex, std::optional<int> zoneMethod) {
  StandardSwitch decision;
  if (zoneMethod) {
    if (*zoneMethod == kMethodSurface) {
      decision.allowed = (currentIndex < 2) == (requestedIndex < 2);
    } else {
      const bool touchesJts =
          currentIndex != requestedIndex && (currentIndex == kJTS239_2015 || requestedIndex == kJTS239_2015);
      decision.allowed = !touchesJts;
    }
  }
  if (!decision.allowed) {
    const std::string_view method = TestMethodName(zoneMethod.value_or(0));
    decision.message = "当前规范(" + std::string(StandardDisplayName(currentIndex)) + ")及测试方式(" +
                       std::string(method) + ")下，无法切换到新规范(" +
                       std::string(StandardDisplayName(requestedIndex)) + ")！";
  }
  return decision;
}

}  // namespace korvane
