// SPDX-License-Identifier: GPL-3.0-or-later
// Maximal runs of consecutive items that fail a test, each with its worst
// item: the one rule by which every list of indications is built, whether
// the items are the rows of a survey or the matched pairs of two surveys.
// An item whose value is absent does not fail, so it ends a run like an
// item that passes.
#pragma once

struct SFailRun {
    int first = 0, last = 0; // first and last item of the run
    int worst = 0;           // the first item holding the run's worst value
};

// Walks the items begin..end (inclusive) once. `fails(i)` tells whether item
// i has a value and that value fails; `worse(i, j)` whether item i's value is
// strictly worse than item j's, so on a tie the earlier item stays the worst.
// `emit(const SFailRun&)` gets each run in item order.
template <typename Fails, typename Worse, typename Emit>
void ForEachFailingRun(int begin, int end, Fails fails, Worse worse, Emit emit)
{
    SFailRun run;
    bool open = false;
    for (int i = begin; i <= end; ++i) {
        if (!fails(i)) {
            if (open) emit(run);
            open = false;
            continue;
        }
        if (!open) {
            run = SFailRun{i, i, i};
            open = true;
        } else if (worse(i, run.worst)) {
            run.worst = i;
        }
        run.last = i;
    }
    if (open) emit(run);
}
