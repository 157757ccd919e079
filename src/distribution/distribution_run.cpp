#include "distribution/distribution_run.h"

#include <algorithm>
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

class Run {
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
            RemoveLeftovers();
            for (std::size_t s = 0; s < request_.sources.size(); ++s) {
                if (isFolder_[s])
                    CopyFolderSource(plans_[s]);
                else
                    CopyFileSource(request_.sources[s]);
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
        std::set<platform::FolderIdentity> targets;
        for (std::size_t s = 0; s < request_.sources.size(); ++s) {
            if (!isFolder_[s]) continue;
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
            std::wstring relative = std::move(pending.back());
            pending.pop_back();
            const std::wstring folder = Below(plan.root, relative);
            platform::FolderContents contents = platform::ReadFolder(folder);
            FolderPlan::Folder& planned = plan.folders.emplace_back();
            planned.relative = relative;
            planned.files = std::move(contents.files);
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

    // A run killed midway leaves behind one temporary, hidden, in the folder it was writing.
    // Each folder that this run writes and did not make is rid of such leftovers once, before
    // its first copy: here the destinations that files go to, the others as they are reached.
    void RemoveLeftovers() {
        if (std::find(isFolder_.begin(), isFolder_.end(), false) == isFolder_.end()) return;
        for (std::size_t d = 0; d < folders_.size(); ++d)
            if (Usable(d)) platform::RemoveLeftoverTemporaries(folders_[d]);
    }

    void CopyFileSource(const std::wstring& source) {
        for (std::size_t d = 0; d < folders_.size(); ++d) {
            const std::wstring target = platform::JoinPath(request_.destinations[d], platform::LastComponent(source));
            observer_.OnCopying(source, target);
            if (Usable(d)) Copy(d, source, platform::JoinPath(folders_[d], platform::LastComponent(source)));
            ++sourcesDone_[d];
            observer_.OnProgress();
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
                for (const auto& name : folder.files) {
                    const std::wstring from = platform::JoinPath(source, name);
                    const std::wstring to = platform::JoinPath(target, name);
                    observer_.OnCopying(from, to);
                    Copy(d, from, to, made ? platform::TargetFolder::JustMade : platform::TargetFolder::MayHoldIt);
                    observer_.OnProgress();
                }
                observer_.OnProgress();
            }
            ++sourcesDone_[d];
        }
    }

    void Copy(std::size_t d, const std::wstring& source, const std::wstring& target,
              platform::TargetFolder folder = platform::TargetFolder::MayHoldIt) {
        current_ = {d, target};
        platform::CopyFile(source, target, folder);
        ++outcome_.filesCopied;
    }

    // The destination being written fails; those that had every source before the halt are
    // complete; the rest are unfinished.
    void Halt(const platform::Failure& failure) {
        outcome_.end = RunOutcome::End::Halted;
        outcome_.failure = failure;
        for (std::size_t d = 0; d < outcome_.destinations.size(); ++d) {
            DestinationOutcome& destination = outcome_.destinations[d];
            if (destination.state == State::Skipped) continue;
            if (current_ && current_->destination == d) {
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
    std::vector<bool> isFolder_;            // for each source
    std::vector<std::wstring> folders_;     // each destination, normalised
    std::vector<FolderPlan> plans_;         // one for each source; empty for a file source
    std::set<std::wstring> topNames_;       // case-folded names of the folder sources
    std::optional<Position> current_;       // the copy under way
    std::vector<std::size_t> sourcesDone_;  // for each destination, how many sources it has whole
};

// At most a few names, then how many more: a note read at a glance.
std::wstring NameList(const std::vector<std::wstring>& names) {
    constexpr std::size_t kShown = 3;
    std::wstring text;
    for (std::size_t i = 0; i < names.size() && i < kShown; ++i) text += (i ? L"; " : L"") + names[i];
    if (names.size() > kShown) text += L"; and " + std::to_wstring(names.size() - kShown) + L" more";
    return text;
}

std::wstring Counted(std::size_t count, const wchar_t* one, const wchar_t* many) {
    return std::to_wstring(count) + L" " + (count == 1 ? one : many);
}

}  // namespace

RunOutcome RunDistribution(const RunRequest& request, RunObserver& observer) {
    return Run(request, observer).CarryOut();
}

std::wstring OutcomeNote(const RunOutcome& outcome) {
    if (outcome.end == RunOutcome::End::Refused) return {};
    std::vector<std::wstring> complete, missing, notFolders, holdSource, unfinished, lines;
    for (const auto& destination : outcome.destinations) {
        const std::wstring& name = destination.destination;
        switch (destination.state) {
        case State::Complete: complete.push_back(name); break;
        case State::Unfinished: unfinished.push_back(name); break;
        case State::Failed:
            lines.push_back(L"Failed at " + name + L": error " + std::to_wstring(destination.failure->Number()) +
                            L" writing " + destination.file);
            break;
        case State::Skipped:
            (destination.skip == Skip::Missing      ? missing
             : destination.skip == Skip::NotAFolder ? notFolders
                                                    : holdSource)
                .push_back(name);
            break;
        }
    }
    if (!missing.empty())
        lines.push_back(
            L"Skipped " +
            Counted(missing.size(), L"destination that does not exist: ", L"destinations that do not exist: ") +
            NameList(missing));
    if (!notFolders.empty())
        lines.push_back(
            L"Skipped " +
            Counted(notFolders.size(), L"destination that is not a folder: ", L"destinations that are not folders: ") +
            NameList(notFolders));
    if (!holdSource.empty())
        lines.push_back(L"Skipped " +
                        Counted(holdSource.size(), L"destination that holds the source folder itself: ",
                                L"destinations that hold the source folder itself: ") +
                        NameList(holdSource));
    if (!unfinished.empty())
        lines.push_back(L"Unfinished, the run halted first: " +
                        Counted(unfinished.size(), L"destination: ", L"destinations: ") + NameList(unfinished));
    if (!outcome.leftOutCopies.empty())
        lines.push_back(L"Left out " + Counted(outcome.leftOutCopies.size(), L"folder", L"folders") +
                        L" into which this run copies: " + NameList(outcome.leftOutCopies));
    if (!outcome.leftOutLinks.empty())
        lines.push_back(L"Left out " + Counted(outcome.leftOutLinks.size(), L"link to a folder", L"links to folders") +
                        L", never followed: " + NameList(outcome.leftOutLinks));
    if (lines.empty()) return {};
    std::wstring note = L"Everything copied to " + std::to_wstring(complete.size()) + L" of " +
                        Counted(outcome.destinations.size(), L"destination", L"destinations") + L".";
    for (const auto& line : lines) note += L"\r\n" + line;
    return note;
}

}  // namespace distribution
