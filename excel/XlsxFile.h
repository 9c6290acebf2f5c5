// Saving a workbook of the in-memory model as an .xlsx file, and how far a
// save has come for a caller watching from another thread.
#pragma once

#include <atomic>
#include <cstdint>
#include <string>

#include "LongCall.h"
#include "SheetModel.h"

namespace excel {

// How far a save has come, read from another thread while the save runs.
// Each row counts twice: once handed to the library, once packed into the
// file. Packing is measured by the bytes the library has written to the
// file against an estimate of the packed size made from the rows' cells
// and texts: the real size is known only at the end, so the estimate errs
// on the large side and the count jumps to the end when the file is whole
// rather than standing still before it.
class SaveProgress {
public:
    plat::CallProgress Now() const;
    // Whether the file is written whole and under its name.
    bool Finished() const { return finished_.load(std::memory_order_acquire); }

    // For the writer, in this order.
    void StartRows(uint64_t rows) { rows_.store(rows, std::memory_order_relaxed); }
    void RowWritten() { written_.fetch_add(1, std::memory_order_relaxed); }
    void StartPacking(const std::string& file, uint64_t expectedBytes);
    void Finish() { finished_.store(true, std::memory_order_release); }

private:
    std::atomic<uint64_t> rows_{0}, written_{0};
    std::atomic<bool> packing_{false}, finished_{false};
    // Set before packing_ is raised and never again.
    std::string file_;
    uint64_t expectedBytes_ = 0;
};

// How a save treats a file already under its name.
enum class SaveTarget {
    NewFile,    // the name must be free: a file there is never replaced
    OwnFile,    // the workbook's own file, replaced by the new contents
};

// Writes the whole workbook as an Office Open XML spreadsheet at `path`,
// whatever its extension. The file is written beside its target under a
// temporary name, checked to be whole, and only then given its name, so a
// failed save leaves no file and no temporary file, and an earlier file of
// the workbook as it was. Raises plat::FileExistsError when a NewFile's
// name is taken and std::runtime_error with the reason (the library's own
// messages included) for every other failure. `progress`, when given,
// follows the save.
void WriteXlsxFile(const BookData& book, const std::string& path, SaveTarget target,
                   SaveProgress* progress = nullptr);

}  // namespace excel
