// Placeholder implementation; replaced by the standards' rules.
#include "core/algorithm/algorithm.h"

namespace korvane {

float CAlgorithm::CalcVelocity(const float*, const float*, int, int) const { return 0.0f; }
float CAlgorithm::RatioOfSums(const float*, const float*, int) const { return 0.0f; }
float CAlgorithm::CorrectVelocity(float velocity, int, float lambda, float beta) const {
  return velocity * lambda * beta;
}
float CAlgorithm::Minimum(std::span<const float>) const { return 0.0f; }
float CAlgorithm::Maximum(std::span<const float>) const { return 0.0f; }
float CAlgorithm::Mean(std::span<const float>) const { return 0.0f; }
float CAlgorithm::CalcRebound(std::span<const int>) const { return 0.0f; }
float CAlgorithm::AngleCorrection(float, int) const { return 0.0f; }
float CAlgorithm::SurfaceCorrection(float, int) const { return 0.0f; }
float CAlgorithm::CalcStrength(float, float, bool, float, float, float, float, bool, int, float, float,
                               float) const {
  return 0.0f;
}
float CAlgorithm::BatchMean(const StrengthLists&) const { return 0.0f; }
float CAlgorithm::SafeMean(std::span<const float>) const { return 0.0f; }
float CAlgorithm::BatchStdDev(const StrengthLists&) const { return 0.0f; }
float CAlgorithm::StdDev(std::span<const float>) const { return 0.0f; }
float CAlgorithm::BatchEstimate(const StrengthLists&, int& flag) const {
  flag = 0;
  return 0.0f;
}
float CAlgorithm::MemberEstimate(std::span<const float>, int& flag) const {
  flag = 0;
  return 0.0f;
}
void CAlgorithm::GetCoefficients(bool, float& a, float& b, float& c, float& d) const {
  a = 1.0f;
  b = c = d = 0.0f;
}
int CAlgorithm::ReadingCount() const { return 16; }

std::unique_ptr<CAlgorithm> CreateAlgorithm(int, const CorrectionTables* tables) {
  return std::make_unique<CAlgorithm>(tables);
}

float RegressVelocity(const float*, const float*, int) { return 0.0f; }

}  // namespace korvane
