// The record of distributions: for each run, a line for each destination, added to a CSV file
// that spreadsheets open. The file only ever grows.
#pragma once

#include <string>
#include <vector>

#include "distribution/distribution_run.h"

namespace distribution {

// What a run was asked to do, for its record.
struct RunRequestRecord {
    std::wstring time;  // local time, "2026-12-07 14:05:09"
    std::wstring list;  // the list's name
    std::vector<std::wstring> sources;
};

// The file that holds the record: "Distribution Record.csv" in the lists folder.
std::wstring RecordFile();

// The record's first line, naming its columns.
std::string RecordHeader();

// The lines of one run in UTF-8, each ended by CR LF: one for each destination; one without a
// destination for a run refused or stopped before it had any.
std::string RecordLines(const RunRequestRecord& request, const RunOutcome& outcome);

// Adds the run's lines to the record file. Never fails: "" when they were written, else why not,
// in a sentence for the note line.
std::wstring AddToRecord(const RunRequestRecord& request, const RunOutcome& outcome) noexcept;

}  // namespace distribution
