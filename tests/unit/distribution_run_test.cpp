// The distribution run, driven in-process on real folders: what is copied where and in which
// order, what is left out, and what the outcome says of every destination.
#include "distribution/distribution_run.h"

#include <gtest/gtest.h>

#include "distribution/run_record.h"
#include "distribution/unattended_run.h"
#include "lists/list_store.h"
#include "platform/files.h"
#include "platform/text.h"
#include "platform/path_rules.h"
#include "test_support.h"

using distribution::RunOutcome;
using test::Lines;

namespace {

// Records what the run tells, and what the current folder was at each copy; cancels the run from
// the `cancelAt`th time it is told how far the run is.
class Recorder : public distribution::RunObserver {
public:
    bool OnChecksFailed(const std::wstring&) override { return true; }
    void OnCopying(const std::wstring& source, const std::wstring& target) override {
        copies.push_back(source + L" > " + target);
        folders.push_back(platform::CurrentFolder());
    }
    bool OnProgress(const distribution::Progress& now) override {
        progress.push_back(now);
        return cancelAt == 0 || progress.size() < cancelAt;
    }
    Lines copies, folders;
    std::vector<distribution::Progress> progress;
    std::size_t cancelAt = 0;
};

class DistributionRun : public test::ScratchTest<::testing::Test> {
protected:
    // Makes the folders of a path, and a file with `bytes` at its end unless it ends in "\".
    void Make(const std::wstring& relative, const std::string& bytes = "", DWORD attributes = 0) const {
        for (std::size_t slash = 0; (slash = relative.find(L'\\', slash + 1)) != std::wstring::npos;)
            test::MakeFolder(Path(relative.substr(0, slash)));
        if (relative.back() == L'\\') ::SetFileAttributesW(Path(relative.substr(0, relative.size() - 1)).c_str(), attributes);
        else test::WriteBytes(Path(relative), bytes, attributes);
    }
    // Every entry below a folder, folders with a trailing slash, in the order of a sorted walk.
    Lines Tree(const std::wstring& relative, const std::wstring& prefix = L"") const {
        Lines lines;
        for (const auto& name : test::AllNames(Path(relative))) {
            const bool folder = test::Attributes(Path(relative + L"\\" + name)) & FILE_ATTRIBUTE_DIRECTORY;
            lines.push_back(prefix + name + (folder ? L"/" : L""));
            if (folder)
                for (auto& line : Tree(relative + L"\\" + name, prefix + name + L"/")) lines.push_back(line);
        }
        return lines;
    }
    RunOutcome Run(Lines sources, Lines destinations, std::optional<bool> folderAnswer = std::nullopt) {
        for (auto* list : {&sources, &destinations})
            for (auto& path : *list) path = path.find(L':') == std::wstring::npos && path[0] != L'\\' ? Path(path) : path;
        return distribution::RunDistribution({sources, folderAnswer, destinations}, recorder);
    }
    static std::string Totals(const distribution::Progress& p) {
        return std::to_string(p.filesDone) + "/" + std::to_string(p.filesTotal) + " files " +
               std::to_string(p.bytesDone) + "/" + std::to_string(p.bytesTotal) + " bytes";
    }
    // Each destination's state: Complete, Skipped, Failed, Unfinished.
    static std::string States(const RunOutcome& outcome) {
        std::string states;
        for (const auto& destination : outcome.destinations) states += "CSFU"[static_cast<int>(destination.state)];
        return states;
    }

    Recorder recorder;
};

// A hidden destination is used; a missing one or a file is skipped.
TEST_F(DistributionRun, FilesGoSourceBySourceToEveryDestinationAndOnlyMissingOrFileDestinationsAreSkipped) {
    Make(L"src\\A.txt", "alpha");
    Make(L"src\\B.dat", std::string("b\0\xff", 3));
    Make(L"d1\\A.txt", "old content, longer than the new");
    Make(L"d3\\", "", FILE_ATTRIBUTE_HIDDEN);
    Make(L"notafolder", "x");
    const RunOutcome outcome = Run({L"src\\A.txt", L"src\\B.dat"}, {L"d1\\", L"missing", L"notafolder", L"d3"});
    EXPECT_EQ(outcome.end, RunOutcome::End::Completed);
    EXPECT_EQ(States(outcome), "CSSC");
    EXPECT_EQ(distribution::ExitCodeOf(outcome), 3);
    // The totals known from the first copy on (after a report for each destination checked); the
    // skipped destinations counted in none.
    EXPECT_EQ(Totals(recorder.progress[2]), "0/4 files 5/16 bytes");
    EXPECT_EQ(Totals(outcome.progress), "4/4 files 16/16 bytes");
    EXPECT_EQ(std::make_pair(outcome.destinations[3].files, outcome.destinations[3].bytes), std::make_pair(2ull, 8ull));
    // Every destination named in turn, a trailing backslash giving one backslash in the target.
    Lines expected;
    for (const wchar_t* file : {L"A.txt", L"B.dat"})
        for (const wchar_t* destination : {L"d1", L"missing", L"notafolder", L"d3"})
            expected.push_back(Path(L"src\\") + file + L" > " + Path(destination) + L"\\" + file);
    EXPECT_EQ(recorder.copies, expected);
    EXPECT_EQ(Tree(L"d3"), (Lines{L"A.txt", L"B.dat"}));
    EXPECT_EQ(test::ReadBytes(Path(L"d1\\A.txt")), "alpha");
    EXPECT_EQ(test::ReadBytes(Path(L"notafolder")), "x");
    EXPECT_EQ(distribution::OutcomeNote(outcome),
              L"Everything copied to 2 of 4 destinations.\r\n"
              L"Skipped 1 destination that does not exist: " + Path(L"missing") + L"\r\n"
              L"Skipped 1 destination that is not a folder: " + Path(L"notafolder"));
    // A folder on a share, or a whole drive, is refused before anything is copied.
    for (const wchar_t* refused : {LR"(\\server\share\folder)", L"Z:\\"}) {
        const RunOutcome refusal = Run({L"src", refused}, {L"d3"}, true);
        EXPECT_TRUE(refusal.end == RunOutcome::End::Refused && !refusal.refusal.empty() &&
                    refusal.progress.filesDone == 0)
            << testing::PrintToString(refused);
    }
}

// A hidden folder of a target's name is used as it is. (What the reading of a folder leaves out,
// hidden and system entries and the temporaries of copies, is Controls.FolderListing's.)
TEST_F(DistributionRun, AFolderGoesWholeUnderItsOwnNameTopDownWithoutChangingTheCurrentFolder) {
    for (const wchar_t* file : {L"src\\Proj\\a.txt", L"src\\Proj\\sub1\\b.txt", L"src\\Proj\\sub1\\deep\\c.txt",
                                L"src\\Proj\\sub2\\d.txt", L"d2\\Proj\\sub1\\keep.txt"})
        Make(file, "new");
    Make(L"src\\Proj\\empty\\");
    Make(L"d2\\Proj\\a.txt", "old a, longer");
    Make(L"d2\\Proj\\sub1\\", "", FILE_ATTRIBUTE_HIDDEN);
    Make(L"d1\\");
    // Left alone in a folder that the run rids of leftovers: a temporary of a process that runs
    // (this one), and a file of another program named like one.
    const std::wstring live =
        platform::LastComponent(platform::ReplacementFile(Path(L"d2\\Proj\\a.txt")).TemporaryPath());
    for (const std::wstring& name : {live, std::wstring(L"~kelvaron-draft.tmp")}) Make(L"d2\\Proj\\" + name, "kept");
    const std::wstring here = platform::CurrentFolder();
    // Named in other letters, the folder goes under its own name as the file system spells it.
    const RunOutcome outcome = Run({Path(L"src\\PROJ") + L"\\"}, {L"d1", L"d2"}, true);
    EXPECT_EQ(States(outcome), "CC");
    const Lines copy{L"Proj/", L"Proj/a.txt", L"Proj/empty/", L"Proj/sub1/", L"Proj/sub1/b.txt", L"Proj/sub1/deep/",
                     L"Proj/sub1/deep/c.txt", L"Proj/sub2/", L"Proj/sub2/d.txt"};
    EXPECT_EQ(Tree(L"d1"), copy);
    Lines withKept = copy;
    withKept.insert(withKept.begin() + 7, L"Proj/sub1/keep.txt");
    withKept.insert(withKept.end(), {L"Proj/" + live, L"Proj/~kelvaron-draft.tmp"});
    EXPECT_EQ(Tree(L"d2"), withKept);
    EXPECT_EQ(test::ReadBytes(Path(L"d2\\Proj\\a.txt")), "new");
    // One destination after the other, a folder's files before its sub-folders.
    const std::wstring s = Path(L"src\\PROJ\\"), t = Path(L"d1\\Proj\\");
    EXPECT_EQ(Lines(recorder.copies.begin(), recorder.copies.begin() + 4),
              (Lines{s + L"a.txt > " + t + L"a.txt", s + L"sub1\\b.txt > " + t + L"sub1\\b.txt",
                     s + L"sub1\\deep\\c.txt > " + t + L"sub1\\deep\\c.txt", s + L"sub2\\d.txt > " + t + L"sub2\\d.txt"}));
    EXPECT_EQ(recorder.folders, Lines(8, here));
    EXPECT_EQ(Totals(outcome.progress), "8/8 files 24/24 bytes");
    EXPECT_EQ(distribution::ExitCodeOf(outcome), 0);
    EXPECT_EQ(distribution::OutcomeNote(outcome), L"");
}

TEST_F(DistributionRun, ADeepTreeBeyondTheOldPathLimitAndNamesEndingInAPointOrBlank) {
    Make(L"src\\odd \\dotted.", "dot");
    Make(L"src\\blank ", "blank");
    Make(L"d1\\");
    std::wstring deep = Path(L"src");  // beyond 300 characters, levels named in Greek and Chinese too
    for (int level = 0; deep.size() <= 300; ++level)
        test::MakeFolder(deep += L"\\\u039A\u03B1\u03C4\u03AC\u03BB\u03BF\u03B3 " + std::wstring(70, L'd') + L"\u4E2D" +
                                 std::to_wstring(level));
    test::WriteBytes(deep + L"\\deep.txt", "deep");
    EXPECT_EQ(platform::ApiPath(deep).rfind(L"\\\\?\\", 0), 0u);  // Windows' own limit: Wine has none
    const RunOutcome outcome = Run({L"src"}, {L"d1"}, true);
    ASSERT_EQ(outcome.end, RunOutcome::End::Completed) << (outcome.failure ? outcome.failure->Number() : 0);
    EXPECT_EQ(test::ReadBytes(Path(L"d1\\src") + deep.substr(Path(L"src").size()) + L"\\deep.txt"), "deep");
    EXPECT_EQ(test::ReadBytes(Path(L"d1\\src\\odd \\dotted.")), "dot");
    EXPECT_EQ(test::ReadBytes(Path(L"d1\\src\\blank ")), "blank");
}

// A run halts at the destination that fails, those before it that had every source complete.
TEST_F(DistributionRun, ARunHaltsAtAReadOnlyTargetOrAFileWhereAFolderGoesButAReadOnlySourceCanBeSentAgain) {
    Make(L"src\\A.txt", "first", FILE_ATTRIBUTE_READONLY);
    Make(L"src\\B.txt", "second");
    Make(L"src\\Proj\\sub\\b.txt", "b");
    Make(L"d2\\A.txt", "owner's", FILE_ATTRIBUTE_READONLY);
    Make(L"d2\\Proj\\sub", "a file where a folder goes");
    Make(L"d1\\");
    Make(L"d3\\");
    EXPECT_EQ(Run({L"src\\A.txt"}, {L"d1"}).end, RunOutcome::End::Completed);
    EXPECT_EQ(Run({L"src\\A.txt"}, {L"d1"}).end, RunOutcome::End::Completed);
    const RunOutcome outcome = Run({L"src\\A.txt", L"src\\B.txt"}, {L"d1", L"d2", L"d3"});
    EXPECT_EQ(outcome.end, RunOutcome::End::Halted);
    EXPECT_EQ(States(outcome), "UFU");  // d1 had A but never B; d2 failed; d3 was never reached
    EXPECT_EQ(distribution::ExitCodeOf(outcome), 1);
    EXPECT_EQ(test::ReadBytes(Path(L"d2\\A.txt")), "owner's");
    EXPECT_EQ(distribution::OutcomeNote(outcome),
              L"Everything copied to 0 of 3 destinations.\r\n"
              L"Failed at " + Path(L"d2") + L": error 5 writing " + Path(L"d2\\A.txt") + L"\r\n"
              L"Unfinished, the run halted first: 2 destinations: " + Path(L"d1") + L"; " + Path(L"d3"));
    const RunOutcome folder = Run({L"src\\Proj"}, {L"d1", L"d2", L"d3"}, true);
    EXPECT_EQ(folder.end, RunOutcome::End::Halted);
    EXPECT_EQ(folder.failure->Number(), 183u);
    EXPECT_EQ(States(folder), "CFU");
    EXPECT_EQ(folder.destinations[1].file, Path(L"d2\\Proj\\sub"));
    EXPECT_EQ(Tree(L"d3"), Lines{});
}

// The parent of the source: its copy would be the source itself. The source itself, or a folder
// in it reached by a link: the copies this run makes there are not copied again. Links inside the
// source (one that sorts before the folder it leads to, two back up the tree, one outside it) are
// never followed, and the note names three of them and counts the rest.
TEST_F(DistributionRun, TheSourcesOwnFolderOrOneAboveItAsADestinationByAnyRouteAndLinksAreNeverFollowed) {
    Make(L"src\\Proj\\a.txt", "a");
    Make(L"src\\Proj\\sub\\b.txt", "b");
    Make(L"src\\Proj\\zreal\\r.txt", "real");
    Make(L"src\\Proj\\Proj\\old\\");
    Make(L"src\\Proj\\out\\Proj\\older\\");
    Make(L"d1\\");
    for (const auto& [link, target] : std::vector<std::pair<const wchar_t*, const wchar_t*>>{
             {L"viaLink", L"src\\Proj\\out"}, {L"aboveLink", L"src"}, {L"src\\Proj\\alink", L"src\\Proj\\zreal"},
             {L"src\\Proj\\sub\\up", L"src\\Proj"}, {L"src\\Proj\\sub\\upper", L"src"},
             {L"src\\Proj\\outside", L"d1"}})
        ASSERT_TRUE(test::MakeFolderLink(Path(link), Path(target))) << testing::PrintToString(link);
    const RunOutcome outcome = Run({L"src\\Proj"}, {L"src", L"src\\Proj", L"viaLink", L"aboveLink", L"d1"}, true);
    EXPECT_EQ(outcome.end, RunOutcome::End::Completed);
    EXPECT_EQ(States(outcome), "SCCSC");
    const Lines copy{L"a.txt", L"out/", L"sub/", L"sub/b.txt", L"zreal/", L"zreal/r.txt"};
    EXPECT_EQ(Tree(L"d1\\Proj"), copy);
    Lines withOld = copy, withOlder = copy;
    withOld.insert(withOld.begin() + 1, L"old/");
    withOlder.insert(withOlder.begin() + 1, L"older/");
    EXPECT_EQ(Tree(L"src\\Proj\\Proj"), withOld);
    EXPECT_EQ(Tree(L"src\\Proj\\out\\Proj"), withOlder);
    EXPECT_EQ(distribution::OutcomeNote(outcome),
              L"Everything copied to 3 of 5 destinations.\r\n"
              L"Skipped 2 destinations that hold the source folder itself: " +
                  Path(L"src") + L"; " + Path(L"aboveLink") +
                  L"\r\n"
                  L"Left out 2 folders into which this run copies: " +
                  Path(L"src\\Proj\\Proj") + L"; " + Path(L"src\\Proj\\out\\Proj") +
                  L"\r\n"
                  L"Left out 4 links to folders, never followed: " +
                  Path(L"src\\Proj\\alink") + L"; " + Path(L"src\\Proj\\outside") + L"; " +
                  Path(L"src\\Proj\\sub\\up") + L"; and 1 more");
}

// Cancelled during the checks, after a file or inside one, the run ends there and asks no more: the
// file keeps its old content, and the destination that had everything before is complete.
TEST_F(DistributionRun, ACancelEndsTheRunInsideAFileAndLeavesItAsItWas) {
    Make(L"src\\big", std::string(300 * 1024, 'n'));
    Make(L"d1\\");
    Make(L"d2\\big", "old");
    // A report for each destination checked; then d1: three chunks and the file's end; d2: its first chunk.
    for (const auto& [at, totals] : {std::pair{1u, "UU 0/0 files 0/0 bytes"}, {6u, "CU 1/2 files 307200/614400 bytes"},
                                     {7u, "CU 1/2 files 438272/614400 bytes"}}) {
        recorder.progress.clear();
        recorder.cancelAt = at;
        const RunOutcome outcome = Run({L"src\\big"}, {L"d1", L"d2"});
        EXPECT_EQ(States(outcome) + " " + Totals(recorder.progress.back()), totals);
        EXPECT_EQ(recorder.progress.size(), at);
        EXPECT_EQ(distribution::ExitCodeOf(outcome), 1);
        EXPECT_EQ(test::ReadBytes(Path(L"d2\\big")), "old");
        EXPECT_EQ(test::AllNames(Path(L"d2")), Lines{L"big"});
    }
}

// Whole clusters; a replaced file counts for its growth, and the largest one once more while both
// it and its new content are there.
TEST(RoomNeeded, FilesTakeWholeClustersAndAReplacedFileCountsForItsGrowth) {
    using distribution::RoomNeeded;
    constexpr std::uint64_t MiB = 1 << 20;
    EXPECT_EQ(RoomNeeded({{1, {}}, {4096, {}}, {4097, {}}, {0, {}}}, 4096), 4096u * 4);
    EXPECT_EQ(RoomNeeded({{1, {}}, {4097, {}}}, 0), 4098u);
    EXPECT_EQ(RoomNeeded({{MiB, MiB}, {MiB, MiB}, {3 * MiB, 2 * MiB}, {MiB, 5 * MiB}}, 4096), 3 * MiB);
}

// Each run adds a line for each destination, also a run refused before it had a list; the file
// only grows, and a list name a spreadsheet would take for a formula stays text.
TEST_F(DistributionRun, AnUnattendedRunEndsWithItsExitCodeAndEveryRunIsRecorded) {
    Make(L"src\\a.txt", "alpha");
    Make(L"d1\\");
    test::MakeFolder(lists::ListsFolder());
    // A list, an empty one, and a list file beside the lists folder that a name must not reach.
    const Lines files{lists::ListPathOf(L"=Team A"), lists::ListPathOf(L"Empty"), platform::ParentOf(lists::ListsFolder()) + L"\\Out.qvl"};
    const std::wstring record = distribution::RecordFile();
    test::WriteBytes(files[0], platform::ToCodePageExactly(Path(L"d1") + L"\r\n" + Path(L"missing"), 65001).value());
    test::WriteBytes(files[1], "");
    test::WriteBytes(files[2], platform::ToCodePageExactly(Path(L"d1"), 65001).value());
    ::DeleteFileW(record.c_str());
    const std::wstring source = L" " + Path(L"src\\a.txt");
    for (const auto& [line, code] : std::vector<std::pair<std::wstring, int>>{
             {L"/quiet /list \"=Team A\"" + source, 3}, {L"/quiet /list nonesuch" + source, 2}, {L"/quiet /list ..\\Out" + source, 2},
             {L"/quiet /list Empty" + source, 2}, {L"/LIST \"=Team A\" /Quiet" + source + L" a.txt", 2}, {L"/quiet /x", 2}})
        EXPECT_EQ(distribution::RunUnattended(distribution::ReadInvocation(line)), code) << testing::PrintToString(line);
    for (const auto& file : files) ::DeleteFileW(file.c_str());
    EXPECT_EQ(test::ReadBytes(Path(L"d1\\a.txt")), "alpha");
    const std::string all = test::ReadBytes(record).value();
    EXPECT_EQ(all.rfind(distribution::RecordHeader(), 0), 0u);
    const std::wstring start = L"\"'=Team A\",\"" + Path(L"src\\a.txt") + L"\",\"", refused = L"\",Refused,0,0,\"";
    const Lines expected{start + Path(L"d1") + L"\",Complete,1,5,\"\"", start + Path(L"missing") + L"\",Skipped,0,0,\"it does not exist\"",
                         refused + L"There is no distribution list named \"\"nonesuch\"\"",
                         refused + L"There is no distribution list named \"\"..\\Out\"\"",
                         L"\",Nothing done,0,0,\"the list holds no destination\"", refused + L"Every source must be a full path",
                         refused + L"The switch /x is not known"};
    std::wstring rest = platform::FromCodePage(all.substr(distribution::RecordHeader().size()), 65001).value();
    for (const auto& part : expected) {  // a line each, in the order of the runs
        const std::wstring line = rest.substr(0, rest.find(L"\r\n"));
        EXPECT_NE(line.find(part), std::wstring::npos) << testing::PrintToString(line);
        rest.erase(0, rest.find(L"\r\n") + 2);
    }
    EXPECT_EQ(rest, L"");
    // Appended only: a header when the file is made, a line break after a line left open.
    const std::wstring file = Path(L"record.csv");
    for (const char* lines : {"one\r\n", "two", "three\r\n"}) platform::AppendToFile(file, "H\r\n", lines);
    EXPECT_EQ(test::ReadBytes(file), "H\r\none\r\ntwo\r\nthree\r\n");
}

}  // namespace
