// Any bytes as a measurement file: read into a fresh document, appended to a
// document that already has rows, and the result written out again, so the
// reader, the append path, the writer and every derived value of the rows
// that came in see hostile input.
#include "tredoc.h"
#include "tsdfile.h"

#include <cstddef>
#include <cstdint>
#include <string_view>

namespace {

// Touches everything a view or printout would compute from a row.
void WalkRows(CTreDoc& doc)
{
    size_t sink = 0;
    const int n = doc.GetRowCount();
    for (int r = 1; r <= n; ++r) {
        sink += doc.FormatMeter(r).size() + doc.FormatPotOn(r).size() + doc.FormatPotOff(r).size()
              + doc.FormatPotIRFree(r).size() + doc.FormatGradOn(r).size() + doc.FormatGradOff(r).size()
              + doc.FormatGradDiff(r).size() + doc.FormatGradDiffL(r).size() + doc.FormatGradDiffR(r).size()
              + doc.FormatGradOnL(r).size() + doc.FormatGradOnR(r).size() + doc.FormatGradOffL(r).size()
              + doc.FormatGradOffR(r).size();
        sink += doc.IsInErrorWindow(r) ? 1 : 0;
    }
    sink += doc.HasRightSide() ? 1 : 0;
    sink += CTsdWriter(doc).BuildText("01.01.26", "QM").size();
    // Keeps the calls from being dropped as unused.
    asm volatile("" : : "r"(sink));
}

} // namespace

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size)
{
    const std::string_view bytes(reinterpret_cast<const char*>(data), size);
    {
        CTreDoc doc;
        if (CTsdReader(doc).ReadText(bytes)) WalkRows(doc);
    }
    {
        CTreDoc doc;
        doc.OnNewDocument();
        doc.InsertRowAfter(1);
        doc.SetMeter(2, 1);
        doc.SetPotOn(2, -1200);
        doc.SetPotOff(2, -950);
        doc.SetGradOnL(2, 45);
        doc.SetGradOffL(2, 12);
        doc.SetComment(2, "Schieber");
        // Every tested pair set, so the error-list test computes all six
        // values of the appended rows; the file's own limits replace these.
        for (int k = 0; k < 6; ++k) {
            doc.m_limits[static_cast<size_t>(k)] = k < 3 ? -1200 : 500;
            doc.m_limits[static_cast<size_t>(k + 12)] = k < 3 ? -850 : -50;
        }
        doc.m_bAppend = true;
        CTsdReader(doc).ReadText(bytes);
        WalkRows(doc);
    }
    return 0;
}
