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

// How far a run is: the copies of files into destinations, and their bytes. The totals are known
// before the first copy, from the reading of the sources.
struct Progress {
    std::uint64_t filesDone = 0, filesTotal = 0;
    std::uint64_t bytesDone = 0, bytesTotal = 0;
};

// What became of one destination.
struct DestinationOutcome {
    enum class State {
        Complete,    // it has everything
        Skipped,     // nothing was copied there, for `skip`
        Failed,      // a copy there failed: `failure`, at `file`
        Unfinished,  // the run ended before it had everything
    };
    enum class Skip {
        Missing,
        NotAFolder,
        HoldsSource,
        CannotWrite,  // no file can be made there: `failure`
        NoRoom,       // its volume lacks room: it needs `needed` bytes, `free` were left for it
    };

    std::wstring destination;  // as the list holds it
    State state = State::Unfinished;
    Skip skip = Skip::Missing;
    std::optional<platform::Failure> failure;
    std::wstring file;  // the target being written when the copy failed
    std::uint64_t needed = 0, free = 0;
    std::uint64_t files = 0, bytes = 0;  // what was copied there
};

struct RunOutcome {
    enum class End {
        Completed,
        Halted,     // a copy failed: `failure`
        Refused,    // nothing was copied: `refusal`
        Stopped,    // destinations failed the checks and the user chose to copy nothing
        Cancelled,  // the one who watched the run ended it
    };
    End end = End::Completed;
    std::optional<platform::Failure> failure;      // Halted: what stopped the run
    std::wstring refusal;                          // Refused: why, in the words the user is shown
    std::vector<DestinationOutcome> destinations;  // one for each entry, in list order
    // Folders inside a source that were not copied: the copies this run writes (a destination
    // inside the source), and links to folders (junctions, symbolic links), never followed.
    std::vector<std::wstring> leftOutCopies;
    std::vector<std::wstring> leftOutLinks;
    Progress progress;
};

// What the run tells the one who shows it.
class RunObserver {
public:
    virtual ~RunObserver() = default;
    // Some destinations failed the checks made before anything is copied: a line for each in
    // `problems`. True: the run goes on with the others; false: it stops with nothing copied.
    virtual bool OnChecksFailed(const std::wstring& problems) = 0;
    // Before each copy: the file copied and its target. In file mode also for a destination that
    // is skipped, with the target it would have had.
    virtual void OnCopying(const std::wstring& source, const std::wstring& target) = 0;
    // During each file, after it, and after each folder made: the moment to show the progress
    // and to handle events. False cancels the run: the file being copied is left as it was.
    virtual bool OnProgress(const Progress& progress) = 0;
};

// Carries out a distribution. Files go source by source, each to every destination in list
// order; a folder goes whole, under its own name, into one destination after the other. Each
// folder source is read once, before anything is copied, by a plain walk in listing order: a
// folder's files before its sub-folders, hidden and system entries left out, links to folders
// not followed, and no folder entered that is one of this run's own targets. Before the first
// copy every destination is checked: that a file can be made there, and that its volume has room
// for what this run puts on it (see RoomNeeded); when a volume lacks room for all its destinations,
// they keep it in list order while it lasts. A folder written that this run did not make is
// first rid of the temporaries that killed runs left there. The first failure halts the run;
// every destination is accounted for in the outcome.
RunOutcome RunDistribution(const RunRequest& request, RunObserver& observer);

// The room that copies need on one volume, in bytes, each file taking whole clusters. A file
// that replaces one counts for its growth alone; while it is written the old one is still there,
// so the largest file replaced counts once more.
struct FileOnVolume {
    std::uint64_t size = 0;
    std::optional<std::uint64_t> replaced;  // the size of the file it replaces
};
std::uint64_t RoomNeeded(const std::vector<FileOnVolume>& files, std::uint64_t cluster);

// The process's exit code for a run: 0 complete; 1 halted or cancelled; 2 refused, stopped or
// nothing done; 3 complete with destinations skipped.
int ExitCodeOf(const RunOutcome& outcome);

// Why a destination was skipped, in words: "it does not exist", "no file can be made there
// (error 5: ...)", "its drive has 1.2 GB free for it, and this distribution needs 3.4 GB there".
std::wstring SkipReason(const DestinationOutcome& destination);

// A number of bytes as people read it: "980 bytes", "1.5 KB", "12.3 MB", "4.2 GB".
std::wstring SizeText(std::uint64_t bytes);

// How far a run is, in words: "12 of 340 files, 1.2 MB of 4.5 MB"; "" before the totals are known.
std::wstring ProgressText(const Progress& progress);

// The note the window shows below its status line: each destination that does not simply have
// everything, a few names and then a count; "" when there is nothing to say.
std::wstring OutcomeNote(const RunOutcome& outcome);

}  // namespace distribution
