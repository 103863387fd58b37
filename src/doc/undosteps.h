// SPDX-License-Identifier: GPL-3.0-or-later
// The steps the document's commands leave in the undo history. Each keeps
// only what it needs to go both ways exactly: changed values before and
// after, the rows it took out, or the order it gave the rows.
#pragma once

#include "docfields.h"
#include "measrow.h"
#include "undohistory.h"

#include <cstdint>
#include <memory>
#include <optional>
#include <string>
#include <vector>

struct CValueChange {
    uint32_t index; // row index from 0
    int32_t before, after;
};

// A cleared cell: one value of a row, or its comment (value none).
struct CClearedCell {
    uint32_t index; // row index from 0
    std::optional<ERowValue> value;
    int32_t before = NO_VALUE;
    std::string comment; // before, for a comment
};

namespace undosteps {

// Header, limits or settings.
std::unique_ptr<CUndoStep> Fields(EStepKind kind, CFieldChanges changes);
// One value of some rows, each from `before` to `after`.
std::unique_ptr<CUndoStep> Values(EStepKind kind, ERowValue value, std::vector<CValueChange> changes);
std::unique_ptr<CUndoStep> Comment(uint32_t index, std::string before, std::string after);
// Cells of several rows and columns emptied at once.
std::unique_ptr<CUndoStep> Cleared(std::vector<CClearedCell> cells);
// Rows index .. index+count-1 were put in (insert, append), with `fields`
// changed by the same command.
std::unique_ptr<CUndoStep> RowsAdded(EStepKind kind, uint32_t index, uint32_t count, CFieldChanges fields);
// `rows` were taken out starting at `index`.
std::unique_ptr<CUndoStep> RowsRemoved(uint32_t index, std::vector<CMeasRow> rows);
// The rows were put in `order` (new row i is old row order[i]; empty: no
// reordering). With `reflect`, every metre m first became sum - m. A sort
// that reordered nothing only set the header's metre range: it does not
// mark the document.
std::unique_ptr<CUndoStep> Reorder(EStepKind kind, std::vector<uint32_t> order, bool reflect, int64_t sum,
                                   CFieldChanges fields);

} // namespace undosteps
