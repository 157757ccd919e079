// A distribution with no window and no box, for scripts and the Task Scheduler: its exit code and
// its lines in the record tell what became of it.
#pragma once

#include <string>

#include "distribution/sources.h"

namespace distribution {

// Why no distribution to the list `name` can begin, in a sentence for the user; "" when one can:
// it names a list file in the lists folder that exists.
std::wstring ListProblem(const std::wstring& name);

// Distributes the invocation's sources to its list. Destinations that fail the checks before
// copying are skipped and the others get everything. Adds the run to the record, a run that is
// refused included (a switch not understood, an unknown list, a source that is no full path), and
// returns its exit code (see ExitCodeOf).
int RunUnattended(const Invocation& invocation) noexcept;

}  // namespace distribution
