// Layout of the two printed reports, the field record sheet ("现场记录表")
// and the result data table ("结果数据表"), and of the page decoration
// (header, footer, page number). Each function returns the page description
// in the device pixels of the rectangles it is given; nothing is drawn here.
#pragma once

#include "core/report/display_list.h"
#include "core/report/page_frame.h"
#include "core/report/pagination.h"
#include "core/report/report_source.h"

namespace korvane::report {

inline constexpr std::string_view kRecordSheetTitle = "现场记录表";
inline constexpr std::string_view kResultTableTitle = "结果数据表";
inline constexpr std::string_view kMsgChooseReport = "请选择要打印的内容";

// Record sheet in its velocity layout: the document's current zone has seven
// or more measuring points. Otherwise the point layout.
bool UsesVelocityLayout(const ReportSource& doc);

// The last page of the last member carries the result table's summary.
bool IsSummaryPage(const ReportSource& doc, int member, int pageInMember);

// The last page of a member (false for a member index out of range).
bool IsLastPageOfMember(const ReportSource& doc, int member, int pageInMember);

// Rows of a result-table page: 30; 2 more for the member-estimate row on the
// member's last page when `options` print it; 5 more for the batch summary
// on the summary page.
int ResultTableRows(const ReportSource& doc, int member, int pageInMember, const ReportOptions& options);

// One record-sheet page of member `member` (index into zoneLists) and page
// `pageInMember` (1-based; zones (p-1)*10 .. p*10-1). The title goes into
// `title` only on page 1 of member 0; the grid fills `body`. A member index
// out of range gives an empty description.
PageDescription LayoutRecordSheetPage(const ReportSource& doc, int member, int pageInMember,
                                      const Rect& title, const Rect& body);

// One result-table page, likewise: each zone's own η; on the last page of the
// member its estimate row (N, Fmin, Mf, Sf, fcu,e) when `options` ask for
// it; the batch summary rows on the last page of the last member.
PageDescription LayoutResultTablePage(const ReportSource& doc, int member, int pageInMember,
                                      const Rect& title, const Rect& body, const ReportOptions& options = {});

// Header text, footer text and (with `withPageNumber`) the page number of job
// page `jobPage` (1-based), in the bands of `frame`, as the print settings
// ask. The number printed is firstPageNumber + jobPage - 1.
PageDescription LayoutDecoration(const PrintSettings& settings, const PageFrame& frame, int jobPage,
                                 bool withPageNumber);

// Decoration followed by the report page of `page`.
PageDescription LayoutJobPage(const ReportSource& doc, const JobPage& page, const PageFrame& frame,
                              bool withPageNumber, const ReportOptions& options = {});

}  // namespace korvane::report
