#include "render/report_fonts.h"

#include <QHash>
#include <cmath>

namespace korvane::render {
namespace {

// Character cell (winAscent + winDescent) of Arial, Times New Roman and
// their Liberation stand-ins, in em.
constexpr double kLatinCellPerEm = 1.117;

struct FaceInfo {
  const char* face;
  bool latin;
  QStringList standIns;
};

// The Chinese stand-ins come first where they give each glyph to one
// character only (AR PL UMing, AR PL UKai, WenQuanYi Zen Hei): the PDF
// writer builds the text layer from a glyph-to-character map, and faces
// that draw the Kangxi radicals (U+2F00...) with the same glyphs as the
// ideographs (Noto CJK: 工 and ⼯) would make copied or searched PDF text
// come out as radicals. Noto CJK stays only as the last resort. Chinese text
// in a Latin face falls back to the Song face, as Windows links Arial and
// Times New Roman to 宋体.
const QList<FaceInfo>& Faces() {
  static const QList<FaceInfo> faces = {
      {"Arial", true, {"Liberation Sans", "Arimo", "AR PL UMing CN", "Noto Sans CJK SC"}},
      {"Times New Roman", true, {"Liberation Serif", "Tinos", "AR PL UMing CN", "Noto Serif CJK SC"}},
      {"宋体", false, {"SimSun", "AR PL UMing CN", "Noto Serif CJK SC"}},
      {"黑体", false, {"SimHei", "WenQuanYi Zen Hei", "Noto Sans CJK SC"}},
      {"隶书", false, {"LiSu", "AR PL UMing CN", "Noto Serif CJK SC"}},
      {"仿宋_GB2312", false, {"FangSong_GB2312", "FangSong", "仿宋", "AR PL UMing CN", "Noto Serif CJK SC"}},
      {"楷体_GB2312", false, {"KaiTi_GB2312", "KaiTi", "楷体", "AR PL UKai CN", "Noto Serif CJK SC"}},
  };
  return faces;
}

const FaceInfo* FindFace(const QString& face) {
  for (const FaceInfo& info : Faces()) {
    if (face.compare(QString::fromUtf8(info.face), Qt::CaseInsensitive) == 0) return &info;
  }
  return nullptr;
}

}  // namespace

void InstallReportFontSubstitutions() {
  for (const FaceInfo& info : Faces()) {
    const QString face = QString::fromUtf8(info.face);
    if (!QFont::substitutes(face).isEmpty()) continue;
    QFont::insertSubstitutions(face, info.standIns);
  }
}

QStringList ReportFontFamilies(const QString& face) {
  QStringList families{face};
  if (const FaceInfo* info = FindFace(face)) {
    families += info->standIns;
  } else {
    families += QStringList{"AR PL UMing CN", "Noto Sans CJK SC"};
  }
#ifdef _WIN32
  // Every Windows has Microsoft YaHei, also where the Chinese fonts above
  // are not installed (a system of another language); after it Qt's own
  // fallback takes any installed font with Chinese.
  families += QStringLiteral("Microsoft YaHei");
#endif
  return families;
}

QFont ReportFont(const QString& face, int cellHeightPx) {
  const FaceInfo* info = FindFace(face);
  const bool latin = info == nullptr || info->latin;
  const double em = latin ? cellHeightPx / kLatinCellPerEm : cellHeightPx;
  QFont font;
  font.setFamilies(ReportFontFamilies(face));
  font.setPixelSize(std::max(1, static_cast<int>(std::lround(em))));
  font.setWeight(QFont::Normal);
  font.setStyleStrategy(QFont::PreferAntialias);
  return font;
}

}  // namespace korvane::render
