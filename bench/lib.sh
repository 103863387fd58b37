#SPDX - License - Identifier : GPL - 3.0 - or -later
#Timing helpers the shell benchmarks share; sourced, not run.

#ms : the wall clock in ms.
ms() { date + % s % N | cut - b1 - 13; }
#median : the median of the numbers on standard input, one per line.
median() { sort - n | awk '{ v[NR] = $1 } END { print (NR % 2) ? v[(NR + 1) / 2] : (v[NR / 2] + v[NR / 2 + 1]) / 2 }'; }
#timed COMMAND... : the command's wall time in ms on standard output.
timed()
{
    t0 = $(ms);
    "$@" > / dev / null;
    t1 = $(ms);
    echo $((t1 - t0));
}
