// Page decoration (header, footer, page number) and the assembly of one job
// page.
#include <string>

#include "core/report/report_layout.h"

namespace korvane::report {
namespace {

// Alignment index of the settings: 0 left, 1 centre, 2 right; anything else
// is taken as left.
HAlign AlignOf(int index) {
  switch (index) {
    case 1: return HAlign::Center;
    case 2: return HAlign::Right;
    default: return HAlign::Left;
  }
}

// Face of a report-font index; an index outside the list gives the first.
std::string FaceOf(int index) {
  if (index < 0 || index >= static_cast<int>(kReportFonts.size())) index = 0;
  return std::string(kReportFonts[static_cast<std::size_t>(index)]);
}

TextItem DecorationText(const Rect& cell, std::string text, FontRole role, std::string face, int pixelHeight,
                        HAlign align) {
  TextItem item;
  item.cell = cell;
  item.text = std::move(text);
  item.role = role;
  item.face = std::move(face);
  item.pixelHeight = pixelHeight;
  item.align = align;
  return item;
}

}  // namespace

PageDescription LayoutDecoration(const PrintSettings& settings, const PageFrame& frame, int jobPage,
                                 bool withPageNumber) {
  PageDescription page;
  // The page number is written in the font selected last: the footer's when
  // a footer is printed, else the header's, else the first report font.
  std::string lastFace = FaceOf(0);
  if (settings.printHeader != 0 && frame.hasHeader) {
    lastFace = FaceOf(settings.headerFont);
    page.texts.push_back(DecorationText(frame.header, settings.headerText, FontRole::Header, lastFace,
                                        frame.decorationFontPx, AlignOf(settings.headerAlign)));
  }
  const bool footer = settings.printFooter != 0 && frame.hasFooter;
  const bool number = withPageNumber && settings.printPageNumber != 0 && frame.hasFooter;
  std::string numberText;
  if (number) {
    numberText = PageNumberText(static_cast<long long>(settings.firstPageNumber) + jobPage - 1,
                                settings.pageNumberFormat);
  }
  // A footer and a page number at the same alignment share one line, the
  // number after the text (as the Word report writes them), rather than
  // one drawn over the other.
  const bool shareLine = footer && number && !settings.footerText.empty() &&
                         AlignOf(settings.footerAlign) == AlignOf(settings.pageNumberPosition);
  if (footer) {
    lastFace = FaceOf(settings.footerFont);
    page.texts.push_back(DecorationText(frame.footer, settings.footerText + (shareLine ? numberText : ""),
                                        FontRole::Footer, lastFace, frame.decorationFontPx,
                                        AlignOf(settings.footerAlign)));
  }
  if (number && !shareLine) {
    page.texts.push_back(DecorationText(frame.footer, numberText, FontRole::PageNumber, lastFace,
                                        frame.decorationFontPx, AlignOf(settings.pageNumberPosition)));
  }
  return page;
}

PageDescription LayoutJobPage(const ReportSource& doc, const JobPage& page, const PageFrame& frame,
                              bool withPageNumber, const ReportOptions& options) {
  PageDescription description = LayoutDecoration(doc.printSettings, frame, page.jobPage, withPageNumber);
  if (page.report == ReportKind::RecordSheet) {
    description.Append(LayoutRecordSheetPage(doc, page.member, page.pageInMember, frame.title, frame.body));
  } else {
    description.Append(
        LayoutResultTablePage(doc, page.member, page.pageInMember, frame.title, frame.body, options));
  }
  return description;
}

}  // namespace korvane::report
