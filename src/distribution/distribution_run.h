// A distribution carried out without a window: the sources of a command line copied into every
// destination of a list, and what became of each destination.
#pragma once

#include <cstdint>
#include <optional>
#include <string>
#include <vector>

#include "platform/failure.h"

namespace distribution {

struct RunRequest {
    std::vector<std::wstring> sources;       // full paths, in command-line order
    std::optional<bool> folderAnswer;        // the user's answer, when asked whether they are folders
    std::vector<std::wstring> destinations;  // the list's entries, as the list holds them
};

// What became of one destination.
struct DestinationOutcome {
    enum class State {
        Complete,    // it has everything
        Skipped,     // nothing was copied there, for `skip`
        Failed,      // a copy there failed: `failure`, at `file`
        Unfinished,  // the run halted before it had everything
    };
    enum class Skip { Missing, NotAFolder, HoldsSource };

    std::wstring destination;  // as the list holds it
    State state = State::Unfinished;
    Skip skip = Skip::Missing;
    std::optional<platform::Failure> failure;
    std::wstring file;  // the target being written when the copy failed
};

struct RunOutcome {
    enum class End { Completed, Halted, Refused };
    End end = End::Completed;
    std::optional<platform::Failure> failure;      // Halted: what stopped the run
    std::wstring refusal;                          // Refused: why, in the words the user is shown
    std::vector<DestinationOutcome> destinations;  // one for each entry, in list order
    // Folders inside a source that were not copied: the copies this run writes (a destination
    // inside the source), and links to folders (junctions, symbolic links), never followed.
    std::vector<std::wstring> leftOutCopies;
    std::vector<std::wstring> leftOutLinks;
    std::uint64_t filesCopied = 0;
};

// What the run tells the one who shows it.
class RunObserver {
public:
    virtual ~RunObserver() = default;
    // Before each copy: the file copied and its target. In file mode also for a destination that
    // is skipped, with the target it would have had.
    virtual void OnCopying(const std::wstring& source, const std::wstring& target) = 0;
    // After each file, and after each folder made: the moment to handle events (a Cancel).
    virtual void OnProgress() = 0;
};

// Carries out a distribution. Files go source by source, each to every destination in list
// order; a folder goes whole, under its own name, into one destination after the other. Each
// folder source is read once, before anything is copied, by a plain walk in listing order: a
// folder's files before its sub-folders, hidden and system entries left out, links to folders
// not followed, and no folder entered that is one of this run's own targets. A folder written
// that this run did not make is first rid of the temporaries that killed runs left there. The
// first failure halts the run; every destination is accounted for in the outcome.
RunOutcome RunDistribution(const RunRequest& request, RunObserver& observer);

// The note the window shows below its status line: each destination that does not simply have
// everything, a few names and then a count; "" when there is nothing to say.
std::wstring OutcomeNote(const RunOutcome& outcome);

}  // namespace distribution
