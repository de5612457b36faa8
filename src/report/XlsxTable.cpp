#include "XlsxTable.h"

#include "DataFiles.h"
#include "ReplacingFile.h"
#include "TextInput.h"
#include "VbError.h"

#include <xlsxwriter.h>

#include <algorithm>
#include <cmath>
#include <utility>

namespace korvane::report {

namespace {

constexpr const char* kSource = "XlsxTableWriter";
constexpr const char* kSheet = "Sheet1";
constexpr size_t kMaxWidth = 60;   // characters; longer texts wrap out of sight rather than widen the column
constexpr size_t kMaxText = 32767; // bytes a cell takes; one long field must not cost the whole workbook

// Text cut to at most kMaxText bytes, at the start of a character.
std::string CellText(const std::string& text) {
    std::string utf8 = DecodeText(text);
    if (utf8.size() > kMaxText) {
        size_t end = kMaxText;
        while (end > 0 && (static_cast<unsigned char>(utf8[end]) & 0xC0) == 0x80)
            --end;
        utf8.resize(end);
    }
    return utf8;
}

} // namespace

struct XlsxTableWriter::Impl {
    ReplacingFile file;
    lxw_workbook* book = nullptr;
    lxw_worksheet* sheet = nullptr;
    lxw_format* bold = nullptr;
    std::vector<size_t> widths; // characters, per column
    std::vector<lxw_format*> numberFormats;
    lxw_row_t rows = 0; // written so far, the header included
    enum class Chart { None, DownColumn, AcrossRows } chart = Chart::None;
    size_t chartColumn = 0, chartCount = 0, chartCategory = 0;
    std::optional<size_t> chartName;

    Impl(const std::filesystem::path& target) : file(target, kSource) {}

    void Check(lxw_error e) const {
        if (e != LXW_NO_ERROR)
            file.Fail(lxw_strerror(e));
    }

    void Write(size_t column, const Cell& cell) {
        const auto col = static_cast<lxw_col_t>(column);
        if (const double* number = std::get_if<double>(&cell)) {
            if (!std::isfinite(*number))
                file.Fail("a value is not a number");
            Check(worksheet_write_number(sheet, rows, col, *number, numberFormats[column]));
            widths[column] = std::max<size_t>(widths[column], 12);
        } else if (const std::string* text = std::get_if<std::string>(&cell)) {
            const std::string utf8 = CellText(*text);
            Check(worksheet_write_string(sheet, rows, col, utf8.c_str(), rows == 0 ? bold : nullptr));
            widths[column] = std::max(widths[column], std::min(CharacterCount(utf8) + 2, kMaxWidth));
        }
    }

    void AddChart() {
        lxw_chart* c = workbook_add_chart(book, LXW_CHART_COLUMN);
        const lxw_row_t last = rows - 1;
        if (chart == Chart::DownColumn) {
            lxw_chart_series* s = chart_add_series(c, nullptr, nullptr);
            const auto category = static_cast<lxw_col_t>(chartCategory);
            const auto values = static_cast<lxw_col_t>(chartColumn);
            chart_series_set_categories(s, kSheet, 1, category, last, category);
            chart_series_set_values(s, kSheet, 1, values, last, values);
            chart_series_set_name_range(s, kSheet, 0, values);
            lxw_chart_fill first{0x1F5F8B, 0, 0};
            lxw_chart_point firstPoint{nullptr, &first, nullptr};
            lxw_chart_point* points[] = {&firstPoint, nullptr};
            Check(chart_series_set_points(s, points));
            chart_legend_set_position(c, LXW_CHART_LEGEND_NONE);
        } else {
            const lxw_row_t charted = std::min<lxw_row_t>(last, kMaxChartRows);
            const auto first = static_cast<lxw_col_t>(chartColumn);
            const auto end = static_cast<lxw_col_t>(chartColumn + chartCount - 1);
            for (lxw_row_t row = 1; row <= charted; ++row) {
                lxw_chart_series* s = chart_add_series(c, nullptr, nullptr);
                chart_series_set_values(s, kSheet, row, first, row, end);
                if (chartName)
                    chart_series_set_name_range(s, kSheet, row, static_cast<lxw_col_t>(*chartName));
            }
            chart_legend_set_position(c, LXW_CHART_LEGEND_BOTTOM);
        }
        chart_axis_set_min(c->y_axis, 0);
        chart_axis_set_max(c->y_axis, 100);
        chart_axis_set_major_unit(c->y_axis, 20);
        chart_axis_set_name(c->y_axis, "%");
        lxw_chart_options where{};
        where.x_offset = 8;
        where.x_scale = 1.6;
        where.y_scale = 1.4;
        // Right of the table, below the header, so it covers no cell.
        Check(worksheet_insert_chart_opt(sheet, 1, static_cast<lxw_col_t>(widths.size() + 1), c, &where));
    }
};

XlsxTableWriter::XlsxTableWriter(const std::filesystem::path& target, const std::vector<std::string>& header,
                                 size_t frozenColumns, bool rowByRow)
    : impl_(std::make_unique<Impl>(target)) {
    Impl& w = *impl_;
    lxw_workbook_options options{};
    options.constant_memory = rowByRow ? LXW_TRUE : LXW_FALSE;
    options.use_zip64 = LXW_TRUE;
    w.book = workbook_new_opt(Utf8String(w.file.TemporaryPath()).c_str(), &options);
    if (!w.book)
        w.file.Fail("the workbook could not be started");
    w.sheet = workbook_add_worksheet(w.book, kSheet);
    w.bold = workbook_add_format(w.book);
    format_set_bold(w.bold);
    worksheet_freeze_panes(w.sheet, 1, static_cast<lxw_col_t>(frozenColumns));
    // Printed across, as wide as the page, the header on every page.
    worksheet_set_landscape(w.sheet);
    worksheet_fit_to_pages(w.sheet, 1, 0);
    w.Check(worksheet_repeat_rows(w.sheet, 0, 0));
    w.widths.assign(header.size(), 8);
    w.numberFormats.assign(header.size(), nullptr);
    AddRow(std::vector<Cell>(header.begin(), header.end()));
}

XlsxTableWriter::~XlsxTableWriter() {
    if (impl_ && impl_->book)
        lxw_workbook_free(impl_->book); // unfinished: nothing more is written, the temporary file goes next
}

void XlsxTableWriter::AddRow(const std::vector<Cell>& cells) {
    Impl& w = *impl_;
    for (size_t i = 0; i < cells.size() && i < w.widths.size(); ++i)
        w.Write(i, cells[i]);
    ++w.rows;
}

void XlsxTableWriter::SetNumberFormat(size_t column, const std::string& format) {
    lxw_format* f = workbook_add_format(impl_->book);
    format_set_num_format(f, format.c_str());
    impl_->numberFormats.at(column) = f;
}

void XlsxTableWriter::ChartDownColumn(size_t categoryColumn, size_t valueColumn) {
    impl_->chart = Impl::Chart::DownColumn;
    impl_->chartColumn = valueColumn;
    impl_->chartCategory = categoryColumn;
}

void XlsxTableWriter::ChartAcrossRows(size_t firstValueColumn, size_t count,
                                      std::optional<size_t> nameColumn) {
    impl_->chart = Impl::Chart::AcrossRows;
    impl_->chartColumn = firstValueColumn;
    impl_->chartCount = count;
    impl_->chartName = nameColumn;
}

void XlsxTableWriter::Close() {
    Impl& w = *impl_;
    for (size_t i = 0; i < w.widths.size(); ++i)
        w.Check(worksheet_set_column(w.sheet, static_cast<lxw_col_t>(i), static_cast<lxw_col_t>(i),
                                     static_cast<double>(w.widths[i]), nullptr));
    if (w.chart != Impl::Chart::None && w.rows > 1)
        w.AddChart();
    lxw_workbook* book = std::exchange(w.book, nullptr);
    w.Check(workbook_close(book));
    w.file.Commit();
}

} // namespace korvane::report
