#include "distribution/distribution_run.h"

#include <algorithm>
#include <cwchar>
#include <iterator>
#include <set>
#include <utility>

#include "distribution/sources.h"
#include "platform/copy_engine.h"
#include "platform/files.h"
#include "platform/folder_listing.h"
#include "platform/path_rules.h"
#include "platform/replacement_file.h"
#include "platform/text.h"

namespace distribution {
namespace {

using State = DestinationOutcome::State;
using Skip = DestinationOutcome::Skip;

// A folder source as read before anything is copied: its folders in walk order, each with its
// files. Names only: the content is read when it is copied.
struct FolderPlan {
    struct Folder {
        std::wstring relative;  // "" for the source folder itself, else "SUB\DEEP"
        std::vector<std::wstring> files;
        std::vector<std::uint64_t> sizes;  // of each file
    };
    std::wstring root;     // the source folder, normalised, without a trailing backslash
    std::wstring topName;  // its own name, as the file system spells it
    platform::FolderIdentity identity;
    std::vector<Folder> folders;
};

// A path the file APIs take as the program means it: relative paths, forward slashes, "." and
// ".." resolved as Windows resolves typed text; a path already in that form kept as it stands (a
// name ending in a point included).
std::wstring Normalised(const std::wstring& path) {
    const std::wstring trimmed = platform::WithoutTrailingBackslash(path);
    return platform::IsNormalisedAbsolute(trimmed) ? trimmed
                                                   : platform::WithoutTrailingBackslash(platform::FullPath(trimmed));
}

std::wstring Below(const std::wstring& folder, const std::wstring& relative) {
    return relative.empty() ? folder : platform::JoinPath(folder, relative);
}

class Run : private platform::CopyProgress {
public:
    Run(const RunRequest& request, RunObserver& observer) : request_(request), observer_(observer) {
        for (const auto& entry : request.destinations) outcome_.destinations.emplace_back().destination = entry;
    }

    RunOutcome CarryOut() {
        // Decided once: the user's answer, or else whether the source names a folder now.
        for (const auto& source : request_.sources)
            isFolder_.push_back(request_.folderAnswer ? *request_.folderAnswer : platform::FolderExists(source));
        if (Refuse()) return std::move(outcome_);
        sourcesDone_.assign(request_.destinations.size(), 0);
        try {
            CheckDestinations();
            PlanFolders();
            ListFiles();
            if (!CheckRightsAndRoom()) {
                outcome_.end = RunOutcome::End::Stopped;
                return std::move(outcome_);
            }
            CountTotals();
            RemoveLeftovers();
            for (std::size_t s = 0; s < request_.sources.size(); ++s) {
                if (isFolder_[s])
                    CopyFolderSource(plans_[s]);
                else
                    CopyFileSource(s);
            }
        } catch (const platform::Failure& failure) {
            Halt(failure);
            return std::move(outcome_);
        }
        for (auto& destination : outcome_.destinations)
            if (destination.state == State::Unfinished) destination.state = State::Complete;
        return std::move(outcome_);
    }

private:
    bool Usable(std::size_t d) const { return outcome_.destinations[d].state != State::Skipped; }

    // A folder that cannot be distributed: refused before anything is copied.
    bool Refuse() {
        for (std::size_t s = 0; s < request_.sources.size(); ++s) {
            const std::wstring& source = request_.sources[s];
            if (!isFolder_[s]) continue;
            if (IsUncPath(source)) {
                outcome_.refusal =
                    L"although you can distribute individual files from a UNC path, you need to map a "
                    L"drive to the desired network location in order to distribute a folder.";
            } else if (platform::IsRootPath(platform::WithoutTrailingBackslash(source))) {
                outcome_.refusal = L"The whole drive " + source +
                                   L" cannot be distributed as one folder.  Please "
                                   L"send the folders and files on it instead.";
            } else {
                continue;
            }
            outcome_.end = RunOutcome::End::Refused;
            return true;
        }
        return false;
    }

    void SkipDestination(std::size_t d, Skip why) {
        outcome_.destinations[d].state = State::Skipped;
        outcome_.destinations[d].skip = why;
    }

    // A destination that is missing or not a folder is skipped.
    void CheckDestinations() {
        for (std::size_t d = 0; d < request_.destinations.size(); ++d) {
            folders_.push_back(request_.destinations[d].empty() ? std::wstring()
                                                                : Normalised(request_.destinations[d]));
            const platform::PathKind kind =
                folders_[d].empty() ? platform::PathKind::Nothing : platform::KindOf(folders_[d]);
            if (kind == platform::PathKind::Nothing)
                SkipDestination(d, Skip::Missing);
            else if (kind == platform::PathKind::File)
                SkipDestination(d, Skip::NotAFolder);
        }
    }

    // Every folder source is read before the first copy, so that no copy of this run is read as
    // a source. A target folder that exists already, inside a source (a destination there), is
    // left out of the reading: it is where the copies go. A destination whose target folder is
    // the source itself (the source's parent, by any route) is skipped.
    void PlanFolders() {
        plans_.resize(request_.sources.size());
        sourceSizes_.resize(request_.sources.size());
        std::set<platform::FolderIdentity> targets;
        for (std::size_t s = 0; s < request_.sources.size(); ++s) {
            if (!isFolder_[s]) {
                sourceSizes_[s] = platform::FileSize(request_.sources[s]).value_or(0);
                continue;
            }
            FolderPlan& plan = plans_[s];
            plan.root = Normalised(request_.sources[s]);
            plan.identity = platform::IdentityOf(plan.root);
            plan.topName = platform::FirstMatch(plan.root, platform::kFoldersAndFiles);
            if (plan.topName.empty()) plan.topName = platform::LastComponent(plan.root);  // a hidden source
            topNames_.insert(platform::CaseFolded(plan.topName));
            for (std::size_t d = 0; d < folders_.size(); ++d) {
                if (!Usable(d)) continue;
                const std::wstring top = platform::JoinPath(folders_[d], plan.topName);
                if (!platform::FolderExists(top)) continue;
                const platform::FolderIdentity identity = platform::IdentityOf(top);
                if (identity == plan.identity)
                    SkipDestination(d, Skip::HoldsSource);
                else
                    targets.insert(identity);
            }
        }
        for (auto& plan : plans_)
            if (!plan.root.empty()) Walk(plan, targets);
    }

    // Depth first, a folder's files before its sub-folders, in listing order.
    void Walk(FolderPlan& plan, const std::set<platform::FolderIdentity>& targets) {
        std::vector<std::wstring> pending{L""};
        while (!pending.empty()) {
            Report();
            std::wstring relative = std::move(pending.back());
            pending.pop_back();
            const std::wstring folder = Below(plan.root, relative);
            platform::FolderContents contents = platform::ReadFolder(folder);
            FolderPlan::Folder& planned = plan.folders.emplace_back();
            planned.relative = relative;
            planned.files = std::move(contents.files);
            planned.sizes = std::move(contents.fileSizes);
            for (const auto& link : contents.folderLinks)
                outcome_.leftOutLinks.push_back(platform::JoinPath(folder, link));
            for (auto sub = contents.folders.rbegin(); sub != contents.folders.rend(); ++sub) {
                const std::wstring path = platform::JoinPath(folder, *sub);
                // Only a folder of a top target's name can be one: the others need no look.
                if (!targets.empty() && topNames_.count(platform::CaseFolded(*sub)) &&
                    targets.count(platform::IdentityOf(path))) {
                    outcome_.leftOutCopies.push_back(path);
                    continue;
                }
                pending.push_back(relative.empty() ? *sub : relative + L"\\" + *sub);
            }
        }
    }

    // Calls `take(target, size)` for every file this run copies into destination `d`.
    template <typename Take>
    void ForEachCopy(std::size_t d, Take take) const {
        for (std::size_t s = 0; s < request_.sources.size(); ++s) {
            if (!isFolder_[s]) {
                take(platform::JoinPath(folders_[d], platform::LastComponent(request_.sources[s])), sourceSizes_[s]);
                continue;
            }
            const std::wstring top = platform::JoinPath(folders_[d], plans_[s].topName);
            for (const auto& folder : plans_[s].folders)
                for (std::size_t f = 0; f < folder.files.size(); ++f)
                    take(platform::JoinPath(Below(top, folder.relative), folder.files[f]), folder.sizes[f]);
        }
    }

    // Each destination must take a new file, and its volume must have room for what this run
    // puts on it. The first count takes every file as new; only when that does not fit are the
    // files there looked at, for their growth alone. A volume that cannot be asked is not
    // counted: the copies then say what fails. False: the user chose to copy nothing.
    bool CheckRightsAndRoom() {
        struct Volume {
            platform::VolumeRoom room;
            std::vector<std::size_t> destinations;
        };
        std::vector<Volume> volumes;
        bool failed = false;
        for (std::size_t d = 0; d < folders_.size(); ++d) {
            if (!Usable(d)) continue;
            Report();  // a share can take its time to answer: Cancel is heard meanwhile
            try {
                platform::CheckCanWriteInto(folders_[d]);
            } catch (const platform::Failure& failure) {
                SkipDestination(d, Skip::CannotWrite);
                outcome_.destinations[d].failure = failure;
                failed = true;
                continue;
            }
            platform::VolumeRoom room;
            try {
                room = platform::RoomOf(folders_[d]);
            } catch (const platform::Failure&) {
                continue;
            }
            auto same = std::find_if(volumes.begin(), volumes.end(), [&](const Volume& volume) {
                return volume.room.serial == room.serial && volume.room.size == room.size;
            });
            if (same == volumes.end()) same = volumes.insert(volumes.end(), Volume{room, {}});
            same->destinations.push_back(d);
        }
        for (const Volume& volume : volumes) {
            if (Needed(volume.destinations, volume.room.cluster, false) <= volume.room.free) continue;
            // Short of room for them all: in list order, each destination while what it needs fits.
            std::uint64_t left = volume.room.free;
            for (const std::size_t d : volume.destinations) {
                Report();
                const std::uint64_t needed = Needed({d}, volume.room.cluster, true);
                if (needed <= left) {
                    left -= needed;
                    continue;
                }
                SkipDestination(d, Skip::NoRoom);
                outcome_.destinations[d].needed = needed;
                outcome_.destinations[d].free = left;
                failed = true;
            }
        }
        return !failed || observer_.OnChecksFailed(CheckProblems());
    }

    // What every destination gets: each file, as if none were there yet.
    void ListFiles() {
        for (std::size_t s = 0; s < request_.sources.size(); ++s) {
            if (!isFolder_[s]) newFiles_.push_back({sourceSizes_[s], {}});
            for (const auto& folder : plans_[s].folders)
                for (const std::uint64_t size : folder.sizes) newFiles_.push_back({size, {}});
        }
    }

    std::uint64_t Needed(const std::vector<std::size_t>& destinations, std::uint64_t cluster,
                         bool lookAtTargets) const {
        if (!lookAtTargets) return destinations.size() * RoomNeeded(newFiles_, cluster);
        std::vector<FileOnVolume> files;
        for (const std::size_t d : destinations)
            ForEachCopy(d, [&](const std::wstring& target, std::uint64_t size) {
                files.push_back({size, platform::FileSize(target)});
            });
        return RoomNeeded(files, cluster);
    }

    // A line for each destination that failed the checks, a few of them and then a count.
    std::wstring CheckProblems() const {
        constexpr std::size_t kShown = 10;
        std::wstring text;
        std::size_t count = 0;
        for (const auto& destination : outcome_.destinations) {
            if (destination.state != State::Skipped ||
                (destination.skip != Skip::CannotWrite && destination.skip != Skip::NoRoom))
                continue;
            if (++count <= kShown) text += destination.destination + L": " + SkipReason(destination) + L"\r";
        }
        if (count > kShown) text += L"and " + std::to_wstring(count - kShown) + L" more\r";
        return text;
    }

    void CountTotals() {
        std::uint64_t bytes = 0;
        for (const auto& file : newFiles_) bytes += file.size;
        for (std::size_t d = 0; d < folders_.size(); ++d) {
            if (!Usable(d)) continue;
            outcome_.progress.filesTotal += newFiles_.size();
            outcome_.progress.bytesTotal += bytes;
        }
    }

    // A run killed midway leaves behind one temporary, hidden, in the folder it was writing.
    // Each folder that this run writes and did not make is rid of such leftovers once, before
    // its first copy: here the destinations that files go to, the others as they are reached.
    void RemoveLeftovers() {
        if (std::find(isFolder_.begin(), isFolder_.end(), false) == isFolder_.end()) return;
        for (std::size_t d = 0; d < folders_.size(); ++d)
            if (Usable(d)) platform::RemoveLeftoverTemporaries(folders_[d]);
    }

    void CopyFileSource(std::size_t s) {
        const std::wstring& source = request_.sources[s];
        for (std::size_t d = 0; d < folders_.size(); ++d) {
            const std::wstring target = platform::JoinPath(request_.destinations[d], platform::LastComponent(source));
            observer_.OnCopying(source, target);
            if (Usable(d))
                Copy(d, source, platform::JoinPath(folders_[d], platform::LastComponent(source)), sourceSizes_[s]);
            ++sourcesDone_[d];
            Report();
        }
    }

    void CopyFolderSource(const FolderPlan& plan) {
        for (std::size_t d = 0; d < folders_.size(); ++d) {
            if (!Usable(d)) continue;
            const std::wstring top = platform::JoinPath(folders_[d], plan.topName);
            for (const auto& folder : plan.folders) {
                const std::wstring target = Below(top, folder.relative);
                current_ = {d, target};
                // A folder of that name that is hidden is used as it is; a file of that name
                // fails the making (183).
                const bool made = platform::MakeFolderUnlessThere(target);
                if (!made) platform::RemoveLeftoverTemporaries(target);
                const std::wstring source = Below(plan.root, folder.relative);
                for (std::size_t f = 0; f < folder.files.size(); ++f) {
                    const std::wstring from = platform::JoinPath(source, folder.files[f]);
                    const std::wstring to = platform::JoinPath(target, folder.files[f]);
                    observer_.OnCopying(from, to);
                    Copy(d, from, to, folder.sizes[f],
                         made ? platform::TargetFolder::JustMade : platform::TargetFolder::MayHoldIt);
                    Report();
                }
                Report();
            }
            ++sourcesDone_[d];
        }
    }

    void Copy(std::size_t d, const std::wstring& source, const std::wstring& target, std::uint64_t size,
              platform::TargetFolder folder = platform::TargetFolder::MayHoldIt) {
        current_ = {d, target};
        platform::CopyFile(source, target, folder, this);
        // The size read before the copy: a file that changed meanwhile does not move the totals.
        Progress& progress = outcome_.progress;
        progress.bytesDone = bytesBefore_ += size;
        ++progress.filesDone;
        ++outcome_.destinations[d].files;
        outcome_.destinations[d].bytes += size;
    }

    bool OnChunk(std::uint64_t copied) override {
        outcome_.progress.bytesDone = bytesBefore_ + copied;
        return Report(false);
    }

    // The observer is told how far the run is; when it cancels, the run ends here (or, inside a
    // copy, through that copy's failure).
    bool Report(bool throwWhenCancelled = true) {
        if (observer_.OnProgress(outcome_.progress)) return true;
        cancelled_ = true;
        if (throwWhenCancelled) platform::ThrowWin32(ERROR_CANCELLED);
        return false;
    }

    // The destination being written fails; those that had every source before the halt are
    // complete; the rest are unfinished.
    void Halt(const platform::Failure& failure) {
        outcome_.end = cancelled_ ? RunOutcome::End::Cancelled : RunOutcome::End::Halted;
        if (!cancelled_) outcome_.failure = failure;
        for (std::size_t d = 0; d < outcome_.destinations.size(); ++d) {
            DestinationOutcome& destination = outcome_.destinations[d];
            if (destination.state == State::Skipped) continue;
            if (current_ && current_->destination == d && !cancelled_) {
                destination.state = State::Failed;
                destination.failure = failure;
                destination.file = current_->target;
            } else {
                destination.state = sourcesDone_[d] == request_.sources.size() ? State::Complete : State::Unfinished;
            }
        }
    }

    struct Position {
        std::size_t destination;
        std::wstring target;
    };

    const RunRequest& request_;
    RunObserver& observer_;
    RunOutcome outcome_;
    std::vector<bool> isFolder_;              // for each source
    std::vector<std::wstring> folders_;       // each destination, normalised
    std::vector<FolderPlan> plans_;           // one for each source; empty for a file source
    std::set<std::wstring> topNames_;         // case-folded names of the folder sources
    std::optional<Position> current_;         // the copy under way
    std::vector<std::size_t> sourcesDone_;    // for each destination, how many sources it has whole
    std::vector<std::uint64_t> sourceSizes_;  // of each file source
    std::vector<FileOnVolume> newFiles_;      // what each destination gets
    std::uint64_t bytesBefore_ = 0;           // the bytes of the copies before the current one
    bool cancelled_ = false;
};

std::wstring Counted(std::size_t count, const wchar_t* one, const wchar_t* many) {
    return std::to_wstring(count) + L" " + (count == 1 ? one : many);
}

}  // namespace

RunOutcome RunDistribution(const RunRequest& request, RunObserver& observer) {
    return Run(request, observer).CarryOut();
}

std::uint64_t RoomNeeded(const std::vector<FileOnVolume>& files, std::uint64_t cluster) {
    const auto onDisk = [cluster](std::uint64_t size) {
        return cluster ? (size + cluster - 1) / cluster * cluster : size;
    };
    std::uint64_t growth = 0, largestReplaced = 0;
    for (const auto& file : files) {
        const std::uint64_t size = onDisk(file.size), old = file.replaced ? onDisk(*file.replaced) : 0;
        growth += size > old ? size - old : 0;
        // Both are there until the new one is whole: what is not counted as growth yet.
        if (file.replaced) largestReplaced = std::max(largestReplaced, std::min(size, old));
    }
    return growth + largestReplaced;
}

std::wstring SkipReason(const DestinationOutcome& destination) {
    switch (destination.skip) {
    case Skip::Missing: return L"it does not exist";
    case Skip::NotAFolder: return L"it is not a folder";
    case Skip::HoldsSource: return L"it holds the source folder itself";
    case Skip::CannotWrite:
        return L"no file can be made there (error " + std::to_wstring(destination.failure->Number()) + L": " +
               destination.failure->Description() + L")";
    case Skip::NoRoom: break;
    }
    return L"its drive has " + SizeText(destination.free) + L" free for it, and this distribution needs " +
           SizeText(destination.needed) + L" there";
}

int ExitCodeOf(const RunOutcome& outcome) {
    switch (outcome.end) {
    case RunOutcome::End::Halted:
    case RunOutcome::End::Cancelled: return 1;
    case RunOutcome::End::Refused:
    case RunOutcome::End::Stopped: return 2;
    case RunOutcome::End::Completed: break;
    }
    const auto complete = std::count_if(outcome.destinations.begin(), outcome.destinations.end(),
                                        [](const DestinationOutcome& d) { return d.state == State::Complete; });
    if (complete == 0) return 2;
    return static_cast<std::size_t>(complete) == outcome.destinations.size() ? 0 : 3;
}

std::wstring SizeText(std::uint64_t bytes) {
    if (bytes < 1024) return std::to_wstring(bytes) + (bytes == 1 ? L" byte" : L" bytes");
    const wchar_t* units[] = {L"KB", L"MB", L"GB", L"TB", L"PB"};
    double value = static_cast<double>(bytes) / 1024;
    std::size_t unit = 0;
    for (; value >= 1000 && unit + 1 < std::size(units); ++unit) value /= 1024;
    wchar_t text[32];
    std::swprintf(text, 32, value < 100 ? L"%.1f %ls" : L"%.0f %ls", value, units[unit]);
    return text;
}

std::wstring ProgressText(const Progress& progress) {
    if (progress.filesTotal == 0) return {};  // not known yet, or nothing to copy
    return std::to_wstring(progress.filesDone) + L" of " +
           Counted(static_cast<std::size_t>(progress.filesTotal), L"file", L"files") + L", " +
           SizeText(progress.bytesDone) + L" of " + SizeText(progress.bytesTotal);
}

std::wstring OutcomeNote(const RunOutcome& outcome) {
    if (outcome.end == RunOutcome::End::Refused) return {};
    // Why destinations were skipped, one and many, in the order of Skip.
    constexpr std::pair<const wchar_t*, const wchar_t*> kSkipped[] = {
        {L"destination that does not exist: ", L"destinations that do not exist: "},
        {L"destination that is not a folder: ", L"destinations that are not folders: "},
        {L"destination that holds the source folder itself: ", L"destinations that hold the source folder itself: "},
        {L"destination where no file can be made: ", L"destinations where no file can be made: "},
        {L"destination without room for this distribution: ", L"destinations without room for this distribution: "},
    };
    std::vector<std::wstring> complete, unfinished, lines, skipped[std::size(kSkipped)];
    for (const auto& destination : outcome.destinations) {
        const std::wstring& name = destination.destination;
        switch (destination.state) {
        case State::Complete: complete.push_back(name); break;
        case State::Unfinished: unfinished.push_back(name); break;
        case State::Failed:
            lines.push_back(L"Failed at " + name + L": error " + std::to_wstring(destination.failure->Number()) +
                            L" writing " + destination.file);
            break;
        case State::Skipped: skipped[static_cast<std::size_t>(destination.skip)].push_back(name); break;
        }
    }
    for (std::size_t why = 0; why < std::size(kSkipped); ++why)
        if (!skipped[why].empty())
            lines.push_back(L"Skipped " + Counted(skipped[why].size(), kSkipped[why].first, kSkipped[why].second) +
                            platform::NameList(skipped[why]));
    if (!unfinished.empty())
        lines.push_back(L"Unfinished, the run halted first: " +
                        Counted(unfinished.size(), L"destination: ", L"destinations: ") +
                        platform::NameList(unfinished));
    if (!outcome.leftOutCopies.empty())
        lines.push_back(L"Left out " + Counted(outcome.leftOutCopies.size(), L"folder", L"folders") +
                        L" into which this run copies: " + platform::NameList(outcome.leftOutCopies));
    if (!outcome.leftOutLinks.empty())
        lines.push_back(L"Left out " + Counted(outcome.leftOutLinks.size(), L"link to a folder", L"links to folders") +
                        L", never followed: " + platform::NameList(outcome.leftOutLinks));
    if (lines.empty()) return {};
    std::wstring note = L"Everything copied to " + std::to_wstring(complete.size()) + L" of " +
                        Counted(outcome.destinations.size(), L"destination", L"destinations") + L".";
    for (const auto& line : lines) note += L"\r\n" + line;
    return note;
}

}  // namespace distribution
