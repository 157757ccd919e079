#include "distribution/unattended_run.h"

#include <algorithm>

#include "distribution/distribution_run.h"
#include "distribution/run_record.h"
#include "lists/list_names.h"
#include "lists/list_store.h"
#include "platform/app.h"
#include "platform/files.h"

namespace distribution {
namespace {

// Nobody watches: the checks' failures skip their destinations, and nothing cancels.
class Unwatched final : public RunObserver {
    bool OnChecksFailed(const std::wstring&) override { return true; }
    void OnCopying(const std::wstring&, const std::wstring&) override {}
    bool OnProgress(const Progress&) override { return true; }
};

}  // namespace

std::wstring ListProblem(const std::wstring& name) {
    if (lists::ListNameProblem(name).empty() && platform::FileExists(lists::ListPathOf(name))) return {};
    return L"There is no distribution list named \"" + name + L"\" in " + lists::ListsFolder() + L".";
}

int RunUnattended(const Invocation& invocation) noexcept {
    platform::NoSystemErrorBoxes();
    RunOutcome outcome;
    RunRequestRecord record;
    try {
        record = {platform::LocalTimeText(), invocation.list.value_or(L""), SplitSources(invocation.sources)};
        outcome.refusal = invocation.problem.empty() ? ListProblem(record.list) : invocation.problem;
        // A task runs in a folder of the system's choosing: a relative source there is no one's.
        const bool relative = std::any_of(record.sources.begin(), record.sources.end(),
                                          [](const std::wstring& source) { return !LooksAbsolute(source); });
        if (outcome.refusal.empty() && (record.sources.empty() || relative))
            outcome.refusal = L"Every source must be a full path (C:\\... or \\\\server\\share\\...).";
        if (outcome.refusal.empty()) {
            Unwatched unwatched;
            outcome = RunDistribution({record.sources, {}, lists::ListStore().Open(lists::ListPathOf(record.list))},
                                      unwatched);
        }
    } catch (...) {
        outcome.refusal = platform::CurrentExceptionAsFailure().Text();
    }
    if (!outcome.refusal.empty()) outcome.end = RunOutcome::End::Refused;
    AddToRecord(record, outcome);
    return ExitCodeOf(outcome);
}

}  // namespace distribution
