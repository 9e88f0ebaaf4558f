// Clipboard text of a block of cells: tab, separator or fixed-width form.
#include "host/Clipboard.h"
#include "host/SysUtils.h"
#include "report_list/replist.h"

namespace kovo {

namespace {

// The fixed-width form keeps one width per copied column for at most this many columns;
// columns beyond get the width of their own entry.
constexpr int MaxWidthColumns = 10000;

}  // namespace

std::string TRLData::ClipboardText(int LeftCol, int TopRow, int RightCol, int BottomRow,
                                   bool AddHeader, bool FixedWidth,
                                   const std::string& Separator) const {
    // Bounded work whatever the ranges: rows clipped to the table, columns to a span that
    // covers the whole table.
    const int64_t span = std::max<int64_t>(int64_t(FNrOfCols) + 1, MaxWidthColumns);
    const int right = int(std::min<int64_t>(RightCol, int64_t(LeftCol) + span - 1));
    const int top = std::max(TopRow, 1), bottom = std::min(BottomRow, FNrOfRows);
    const bool fixed = FixedWidth;
    const std::string& sep = Separator;

    std::vector<int> widths;
    if (fixed && right >= LeftCol) {
        widths.assign(size_t(std::min<int64_t>(int64_t(right) - LeftCol + 1, MaxWidthColumns)), 0);
        for (size_t k = 0; k < widths.size(); ++k) {
            const int c = LeftCol + int(k);
            int w = AddHeader ? Utf8Length(GetColName(c)) : 0;
            if (c >= 0 && c <= FNrOfCols)
                for (int r = top; r <= bottom; ++r)
                    w = std::max(w, Utf8Length(Strings->StringRef(c, r)));
            widths[k] = w;
        }
    }
    auto entry = [&](std::string& out, int c, const std::string& text) {
        if (fixed) {
            const size_t k = size_t(int64_t(c) - LeftCol);
            const int w = k < widths.size() ? widths[k] : Utf8Length(text);
            out += LeftString(text, w + 1);
        } else {
            if (c > LeftCol) out += sep;
            out += text;
        }
    };

    std::string out;
    if (AddHeader) {
        for (int c = LeftCol; c <= right; ++c) entry(out, c, GetColName(c));
        out += "\n\n";
    }
    for (int r = top; r <= bottom; ++r) {
        for (int c = LeftCol; c <= right; ++c) entry(out, c, GetElem(c, r));
        out += '\n';
    }
    return out;
}

void TRLData::CopyToClipBoard(int LeftCol, int TopRow, int RightCol, int BottomRow, bool AddHeader,
                              bool UseTabs) {
    Clipboard()->SetAsText(
        ClipboardText(LeftCol, TopRow, RightCol, BottomRow, AddHeader, !UseTabs, "\t"));
}

void TRLData::CopyToClipBoard(int LeftCol, int TopRow, int RightCol, int BottomRow, bool AddHeader,
                              const std::string& Separator) {
    Clipboard()->SetAsText(
        ClipboardText(LeftCol, TopRow, RightCol, BottomRow, AddHeader, false, Separator));
}

}  // namespace kovo
