// Importing the lines of a text file into a column.
#include <algorithm>

#include "report_list/replist.h"

namespace kovo {

int TRLData::LoadLinesFromFile(int Column, int FirstRow, const std::string& FName) {
    if (Column < 0 || Column > FNrOfCols) return 0;
    if (FirstRow < 1) FirstRow = 1;
    // The whole file is read first, so that a read error changes nothing.
    std::vector<std::string> lines;
    TextFile f;
    AssignFile(f, FName);
    Reset(f);
    std::string line;
    while (!Eof(f)) {
        ReadLn(f, line);
        lines.push_back(line);
    }
    CloseFile(f);
    if (lines.empty()) return 0;
    const int64_t last = int64_t(FirstRow) + int64_t(lines.size()) - 1;
    if (last > INT32_MAX) throw EKovoRLDataError(this, ReasonNoHeap);
    if (last > FNrOfRows) SetNrRows(int(last));
    for (size_t i = 0; i < lines.size(); ++i) SetElem(Column, FirstRow + int(i), lines[i]);
    return int(lines.size());
}

}  // namespace kovo
