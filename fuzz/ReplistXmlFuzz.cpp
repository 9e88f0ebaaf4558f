// Feeds arbitrary documents to the report-list reader and to the stream form of the
// validity check. The first line of the input is the wanted data ID, the rest the document.
// Findings: a crash or hang, a reader that accepts what the check refuses, a refused document
// that changed the store, and an accepted document that does not survive being written and
// read again.
#include <cstddef>
#include <cstdint>
#include <cstdio>
#include <cstdlib>
#include <string>

#include "foundation/kovobase.h"
#include "report_list/replist.h"

using namespace kovo;

namespace {

[[noreturn]] void Finding(const char* what) {
    std::fprintf(stderr, "fuzz_replistxml: %s\n", what);
    std::abort();
}

// Everything a document keeps.
std::string Picture(const TRLData& d) {
    std::string s = std::to_string(d.NrOfColumns()) + "x" + std::to_string(d.NrOfRows()) + "|" +
                    d.CommonHeader() + "|" + d.Comment() + "|" + d.DataID() + "|";
    for (int c = 1; c <= d.NrOfColumns(); ++c)
        s += d.Header(c) + "\x1F" + d.ColumnFormat(c) + "\x1F" + char('0' + d.ColumnCheckMode(c));
    for (int r = 1; r <= d.NrOfRows(); ++r)
        for (int c = 0; c <= d.NrOfColumns(); ++c) s += "\x1E" + d.Strings->GetString(c, r);
    return s;
}

}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
    const std::string input(reinterpret_cast<const char*>(data), size);
    const size_t nl = input.find('\n');
    const std::string id = nl == std::string::npos ? std::string() : input.substr(0, nl);
    const std::string doc = nl == std::string::npos ? input : input.substr(nl + 1);

    TStringStream check(doc);
    const bool valid = CheckIfValidReplist(&check, id);
    if (check.Position() > check.Size()) Finding("check left the stream past its end");

    TRLData d(nullptr);
    d.SetNrOfColumns(2);
    d.SetNrOfRows(2);
    d.SetElem(1, 1, "before");
    d.SetColumnCheckMode(2, cmRadio);
    const std::string before = Picture(d);
    if (!d.ReadFromXMLString(doc, id)) {
        if (Picture(d) != before) Finding("a refused document changed the store");
        return 0;
    }
    if (!valid) Finding("the reader accepted a document the check refused");

    // What was read must come back unchanged from the writer.
    std::string writeID = d.DataID();
    TStringStream out;
    try {
        d.WriteToXMLStream(&out, true, writeID);
    } catch (const EKovoRLDataError&) {
        writeID.clear();  // an ID no root line can carry
        d.SetDataID(writeID);
        out.SetSize(0);
        d.WriteToXMLStream(&out, true, writeID);
    }
    TRLData again(nullptr);
    if (!again.ReadFromXMLString(out.DataString(), writeID))
        Finding("a written document was refused");
    if (Picture(again) != Picture(d)) Finding("a document did not survive writing and reading");
    out.SetPosition(0);
    if (!CheckIfValidReplist(&out, writeID)) Finding("the check refused a written document");
    return 0;
}
