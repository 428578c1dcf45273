#pragma once

// The progress of a send as one table of named phases: where on the progress bar each phase
// begins and how much of it the phase takes. Every status line of a run reports a phase (and
// how far into it the run is), never a number of its own, so the fractions a user sees only
// ever grow.

namespace Vantrel {

enum class SendPhase {
    drag,         // the fast and the sorted run: one drag of every file, until all came in
    arrival,      // the order the tracks came in, or the sort by name
    stacks,       // the stacks made one after the other
    colors,       // their colours
    fold,         // the closing phase: the stacks folded
    order,        // the top level put in the jobs' order
    groupByGroup, // the grouped run: one slice per job (see JobStep)
    foldGroups,   // the grouped run's stacks folded at the end
    oneByOne,     // the one-by-one run: file after file
    stacksOnly,   // stacks of the project's tracks: stack after stack
    check,        // every run: the session read back and compared
    done,
};

struct PhaseSpan {
    SendPhase phase;
    double start;
    double span;
};

inline constexpr PhaseSpan kSendPhases[] = {
    {SendPhase::drag, 0.02, 0.35},
    {SendPhase::arrival, 0.4, 0},
    {SendPhase::stacks, 0.42, 0.45},
    {SendPhase::colors, 0.88, 0},
    {SendPhase::fold, 0.9, 0},
    {SendPhase::order, 0.94, 0.02},
    {SendPhase::groupByGroup, 0.02, 0.93},
    {SendPhase::foldGroups, 0.97, 0},
    {SendPhase::oneByOne, 0, 1},
    {SendPhase::stacksOnly, 0, 1},
    {SendPhase::check, 0.99, 0},
    {SendPhase::done, 1, 0},
};

// The phase's place on the bar.
constexpr PhaseSpan phaseSpan(SendPhase phase) {
    for (const PhaseSpan& s : kSendPhases) {
        if (s.phase == phase)
            return s;
    }
    return {phase, 0, 0};
}

// The fraction of the send done at `within` (0 to 1) of the way through phase.
constexpr double progressOf(SendPhase phase, double within = 0) {
    const PhaseSpan s = phaseSpan(phase);
    return s.start + s.span * within;
}

// The steps inside one job's slice of SendPhase::groupByGroup, as parts of the slice: the
// import takes its first 60 %, the stack is made at 65 % and coloured at 80 %.
namespace JobStep {
inline constexpr double importSpan = 0.6;
inline constexpr double stack = 0.65;
inline constexpr double color = 0.8;
} // namespace JobStep

} // namespace Vantrel
