// The distribution run, driven in-process on real folders: what is copied where and in which
// order, what is left out, and what the outcome says of every destination.
#include "distribution/distribution_run.h"

#include <gtest/gtest.h>

#include <string>
#include <vector>

#include "platform/files.h"
#include "test_support.h"

using distribution::DestinationOutcome;
using distribution::RunOutcome;
using State = DestinationOutcome::State;
using Skip = DestinationOutcome::Skip;
using Lines = std::vector<std::wstring>;

namespace {

// Records what the run tells, and what the current folder was at each copy.
class Recorder : public distribution::RunObserver {
public:
    void OnCopying(const std::wstring& source, const std::wstring& target) override {
        copies.push_back(source + L" > " + target);
        folders.push_back(platform::CurrentFolder());
    }
    void OnProgress() override { ++progress; }
    Lines copies, folders;
    int progress = 0;
};

// Every entry below `folder`, folders with a trailing slash, in walk order of a sorted listing.
Lines Tree(const std::wstring& folder, const std::wstring& prefix = L"") {
    Lines lines;
    for (const auto& name : test::AllNames(folder)) {
        const std::wstring path = folder + L"\\" + name;
        const bool isFolder = ::GetFileAttributesW(test::Raw(path).c_str()) & FILE_ATTRIBUTE_DIRECTORY;
        lines.push_back(prefix + name + (isFolder ? L"/" : L""));
        if (isFolder)
            for (auto& line : Tree(path, prefix + name + L"/")) lines.push_back(std::move(line));
    }
    return lines;
}

class DistributionRun : public ::testing::Test {
protected:
    std::wstring Path(const std::wstring& relative) const { return scratch / relative; }
    void File(const std::wstring& relative, const std::string& bytes, DWORD attributes = 0) const {
        test::WriteBytes(Path(relative), bytes, attributes);
    }
    void Folders(std::initializer_list<const wchar_t*> relatives) const {
        for (const auto* relative : relatives) {
            std::wstring path = scratch.Path();
            for (std::wstring rest = relative; !rest.empty();) {
                const std::size_t slash = rest.find(L'\\');
                path += L"\\" + rest.substr(0, slash);
                test::MakeFolder(path);
                rest = slash == std::wstring::npos ? L"" : rest.substr(slash + 1);
            }
        }
    }
    RunOutcome Run(Lines sources, Lines destinations, std::optional<bool> folderAnswer = std::nullopt) {
        return distribution::RunDistribution({std::move(sources), folderAnswer, std::move(destinations)}, recorder);
    }
    static std::vector<State> States(const RunOutcome& outcome) {
        std::vector<State> states;
        for (const auto& destination : outcome.destinations) states.push_back(destination.state);
        return states;
    }

    test::ScratchFolder scratch;
    Recorder recorder;
};

TEST_F(DistributionRun, FilesGoSourceBySourceToEveryDestinationAndMissingOrFileDestinationsAreSkipped) {
    Folders({L"src", L"d1", L"d3"});
    File(L"src\\A.txt", "alpha");
    File(L"src\\B.dat", std::string("b\0\xff", 3));
    File(L"d1\\A.txt", "old content, longer than the new");
    File(L"notafolder", "x");
    const RunOutcome outcome = Run({Path(L"src\\A.txt"), Path(L"src\\B.dat")},
                                   {Path(L"d1") + L"\\", Path(L"missing"), Path(L"notafolder"), Path(L"d3")});
    EXPECT_EQ(outcome.end, RunOutcome::End::Completed);
    EXPECT_EQ(States(outcome), (std::vector<State>{State::Complete, State::Skipped, State::Skipped, State::Complete}));
    EXPECT_EQ(outcome.destinations[1].skip, Skip::Missing);
    EXPECT_EQ(outcome.destinations[2].skip, Skip::NotAFolder);
    EXPECT_EQ(outcome.filesCopied, 4u);
    // Every destination named in turn, a trailing backslash giving one backslash in the target.
    const std::wstring a = Path(L"src\\A.txt"), b = Path(L"src\\B.dat");
    EXPECT_EQ(recorder.copies, (Lines{a + L" > " + Path(L"d1\\A.txt"), a + L" > " + Path(L"missing\\A.txt"),
                                      a + L" > " + Path(L"notafolder\\A.txt"), a + L" > " + Path(L"d3\\A.txt"),
                                      b + L" > " + Path(L"d1\\B.dat"), b + L" > " + Path(L"missing\\B.dat"),
                                      b + L" > " + Path(L"notafolder\\B.dat"), b + L" > " + Path(L"d3\\B.dat")}));
    for (const auto* d : {L"d1", L"d3"}) {
        EXPECT_EQ(test::ReadBytes(Path(d) + L"\\A.txt"), "alpha");
        EXPECT_EQ(test::ReadBytes(Path(d) + L"\\B.dat"), std::string("b\0\xff", 3));
    }
    EXPECT_FALSE(test::Exists(Path(L"missing")));
    EXPECT_EQ(test::ReadBytes(Path(L"notafolder")), "x");
    EXPECT_EQ(distribution::OutcomeNote(outcome),
              L"Everything copied to 2 of 4 destinations.\r\n"
              L"Skipped 1 destination that does not exist: " + Path(L"missing") + L"\r\n"
              L"Skipped 1 destination that is not a folder: " + Path(L"notafolder"));
}

TEST_F(DistributionRun, AFolderGoesWholeUnderItsOwnNameTopDownWithoutChangingTheCurrentFolder) {
    Folders({L"src\\Proj\\sub1\\deep", L"src\\Proj\\sub2", L"src\\Proj\\empty", L"src\\Proj\\hid", L"d1",
             L"d2\\Proj\\sub1"});
    File(L"src\\Proj\\a.txt", "a");
    File(L"src\\Proj\\sub1\\b.txt", "b");
    File(L"src\\Proj\\sub1\\deep\\c.txt", std::string("c\0", 2));
    File(L"src\\Proj\\sub2\\d.txt", "d");
    File(L"src\\Proj\\h.txt", "hidden", FILE_ATTRIBUTE_HIDDEN);
    File(L"src\\Proj\\s.txt", "system", FILE_ATTRIBUTE_SYSTEM);
    File(L"src\\Proj\\sub1\\~kelvaron-0000123401a2.tmp", "left by a copy that was killed");
    File(L"src\\Proj\\hid\\x.txt", "x");
    ::SetFileAttributesW(Path(L"src\\Proj\\hid").c_str(), FILE_ATTRIBUTE_HIDDEN);
    File(L"d2\\Proj\\a.txt", "old a, longer");
    File(L"d2\\Proj\\keep.txt", "keep");
    // A hidden folder of a target's name is used as it is.
    ::SetFileAttributesW(Path(L"d2\\Proj\\sub1").c_str(), FILE_ATTRIBUTE_HIDDEN);
    const std::wstring here = platform::CurrentFolder();
    const RunOutcome outcome = Run({Path(L"src\\Proj") + L"\\"}, {Path(L"d1"), Path(L"d2")}, true);
    EXPECT_EQ(outcome.end, RunOutcome::End::Completed);
    EXPECT_EQ(States(outcome), (std::vector<State>{State::Complete, State::Complete}));
    EXPECT_EQ(Tree(Path(L"d1")), (Lines{L"Proj/", L"Proj/a.txt", L"Proj/empty/", L"Proj/sub1/", L"Proj/sub1/b.txt",
                                        L"Proj/sub1/deep/", L"Proj/sub1/deep/c.txt", L"Proj/sub2/",
                                        L"Proj/sub2/d.txt"}));
    EXPECT_EQ(Tree(Path(L"d2")), (Lines{L"Proj/", L"Proj/a.txt", L"Proj/empty/", L"Proj/keep.txt", L"Proj/sub1/",
                                        L"Proj/sub1/b.txt", L"Proj/sub1/deep/", L"Proj/sub1/deep/c.txt",
                                        L"Proj/sub2/", L"Proj/sub2/d.txt"}));
    EXPECT_EQ(test::ReadBytes(Path(L"d2\\Proj\\a.txt")), "a");
    EXPECT_EQ(test::ReadBytes(Path(L"d1\\Proj\\sub1\\deep\\c.txt")), std::string("c\0", 2));
    // One destination after the other, a folder's files before its sub-folders.
    const std::wstring s = Path(L"src\\Proj"), t = Path(L"d1\\Proj");
    EXPECT_EQ(Lines(recorder.copies.begin(), recorder.copies.begin() + 4),
              (Lines{s + L"\\a.txt > " + t + L"\\a.txt", s + L"\\sub1\\b.txt > " + t + L"\\sub1\\b.txt",
                     s + L"\\sub1\\deep\\c.txt > " + t + L"\\sub1\\deep\\c.txt",
                     s + L"\\sub2\\d.txt > " + t + L"\\sub2\\d.txt"}));
    EXPECT_EQ(recorder.copies.size(), 8u);
    EXPECT_EQ(recorder.folders, Lines(8, here));
    EXPECT_EQ(recorder.progress, 8 + 2 * 5);  // after every file and every folder
    EXPECT_EQ(distribution::OutcomeNote(outcome), L"");
}

TEST_F(DistributionRun, ADeepTreeBeyondTheOldPathLimitAndNamesEndingInAPointOrBlank) {
    Folders({L"src"});
    const std::wstring deep = test::MakeLongFolder(Path(L"src"));
    test::WriteBytes(deep + L"\\deep.txt", "deep");
    Folders({L"d1"});
    test::MakeFolder(Path(L"src") + L"\\odd ");
    test::WriteBytes(Path(L"src") + L"\\odd \\dotted.", "dot");
    test::WriteBytes(Path(L"src") + L"\\blank ", "blank");
    const RunOutcome outcome = Run({Path(L"src")}, {Path(L"d1")}, true);
    ASSERT_EQ(outcome.end, RunOutcome::End::Completed) << (outcome.failure ? outcome.failure->Number() : 0);
    EXPECT_EQ(test::ReadBytes(Path(L"d1\\src") + deep.substr(Path(L"src").size()) + L"\\deep.txt"), "deep");
    EXPECT_EQ(test::ReadBytes(Path(L"d1\\src") + L"\\odd \\dotted."), "dot");
    EXPECT_EQ(test::ReadBytes(Path(L"d1\\src") + L"\\blank "), "blank");
}

TEST_F(DistributionRun, AReadOnlySourceCanBeSentAgainButAReadOnlyTargetHaltsThere) {
    Folders({L"src", L"d1", L"d2", L"d3"});
    File(L"src\\A.txt", "first", FILE_ATTRIBUTE_READONLY);
    File(L"src\\B.txt", "second");
    for (int round = 0; round < 2; ++round) {
        const RunOutcome again = Run({Path(L"src\\A.txt")}, {Path(L"d1")});
        EXPECT_EQ(again.end, RunOutcome::End::Completed) << "round " << round;
    }
    EXPECT_FALSE(::GetFileAttributesW(Path(L"d1\\A.txt").c_str()) & FILE_ATTRIBUTE_READONLY);

    File(L"d2\\A.txt", "owner's", FILE_ATTRIBUTE_READONLY);
    const RunOutcome outcome =
        Run({Path(L"src\\A.txt"), Path(L"src\\B.txt")}, {Path(L"d1"), Path(L"d2"), Path(L"d3")});
    EXPECT_EQ(outcome.end, RunOutcome::End::Halted);
    ASSERT_TRUE(outcome.failure);
    EXPECT_EQ(outcome.failure->Number(), 5u);
    // d1 had A but never B; d2 failed; d3 was never reached.
    EXPECT_EQ(States(outcome), (std::vector<State>{State::Unfinished, State::Failed, State::Unfinished}));
    EXPECT_EQ(outcome.destinations[1].file, Path(L"d2\\A.txt"));
    EXPECT_EQ(test::ReadBytes(Path(L"d2\\A.txt")), "owner's");
    EXPECT_FALSE(test::Exists(Path(L"d3\\A.txt")));
    EXPECT_FALSE(test::Exists(Path(L"d1\\B.txt")));
    EXPECT_EQ(distribution::OutcomeNote(outcome),
              L"Everything copied to 0 of 3 destinations.\r\n"
              L"Failed at " + Path(L"d2") + L": error 5 writing " + Path(L"d2\\A.txt") + L"\r\n"
              L"Unfinished, the run halted first: 2 destinations: " + Path(L"d1") + L"; " + Path(L"d3"));
}

TEST_F(DistributionRun, AFolderHaltsAtTheFailingDestinationWithTheOnesBeforeItComplete) {
    Folders({L"src\\Proj\\sub", L"d1", L"d2\\Proj", L"d3"});
    File(L"src\\Proj\\sub\\b.txt", "b");
    File(L"d2\\Proj\\sub", "a file where a folder goes");
    const RunOutcome outcome = Run({Path(L"src\\Proj")}, {Path(L"d1"), Path(L"d2"), Path(L"d3")}, true);
    EXPECT_EQ(outcome.end, RunOutcome::End::Halted);
    EXPECT_EQ(outcome.failure->Number(), 183u);
    EXPECT_EQ(States(outcome), (std::vector<State>{State::Complete, State::Failed, State::Unfinished}));
    EXPECT_EQ(outcome.destinations[1].file, Path(L"d2\\Proj\\sub"));
    EXPECT_EQ(Tree(Path(L"d3")), Lines{});
}

TEST_F(DistributionRun, TheSourcesOwnFolderOrOneAboveItAsADestination) {
    Folders({L"src\\Proj\\sub", L"src\\Proj\\Proj\\old", L"d1"});
    File(L"src\\Proj\\a.txt", "a");
    File(L"src\\Proj\\sub\\b.txt", "b");
    // The parent of the source: its copy would be the source itself. The source itself: its
    // earlier copy (Proj\Proj) is where this run copies, not a part of the source.
    const RunOutcome outcome = Run({Path(L"src\\Proj")}, {Path(L"src"), Path(L"src\\Proj"), Path(L"d1")}, true);
    EXPECT_EQ(outcome.end, RunOutcome::End::Completed);
    EXPECT_EQ(States(outcome), (std::vector<State>{State::Skipped, State::Complete, State::Complete}));
    EXPECT_EQ(outcome.destinations[0].skip, Skip::HoldsSource);
    EXPECT_EQ(outcome.leftOutCopies, Lines{Path(L"src\\Proj\\Proj")});
    EXPECT_EQ(Tree(Path(L"d1")), (Lines{L"Proj/", L"Proj/a.txt", L"Proj/sub/", L"Proj/sub/b.txt"}));
    EXPECT_EQ(Tree(Path(L"src\\Proj\\Proj")),
              (Lines{L"a.txt", L"old/", L"sub/", L"sub/b.txt"}));  // old stays; the rest is the copy
    EXPECT_EQ(distribution::OutcomeNote(outcome),
              L"Everything copied to 2 of 3 destinations.\r\n"
              L"Skipped 1 destination that holds the source folder itself: " + Path(L"src") + L"\r\n"
              L"Left out 1 folder into which this run copies: " + Path(L"src\\Proj\\Proj"));
}

TEST_F(DistributionRun, FoldersAreComparedByIdentityWhateverRouteReachesThem) {
    Folders({L"src\\Proj\\out\\Proj\\older", L"d1"});
    File(L"src\\Proj\\a.txt", "a");
    ASSERT_TRUE(test::MakeFolderLink(Path(L"viaLink"), Path(L"src\\Proj\\out")));
    ASSERT_TRUE(test::MakeFolderLink(Path(L"aboveLink"), Path(L"src")));
    const RunOutcome outcome = Run({Path(L"src\\Proj")}, {Path(L"viaLink"), Path(L"aboveLink"), Path(L"d1")}, true);
    EXPECT_EQ(outcome.end, RunOutcome::End::Completed);
    EXPECT_EQ(States(outcome), (std::vector<State>{State::Complete, State::Skipped, State::Complete}));
    EXPECT_EQ(outcome.leftOutCopies, Lines{Path(L"src\\Proj\\out\\Proj")});
    EXPECT_EQ(Tree(Path(L"d1")), (Lines{L"Proj/", L"Proj/a.txt", L"Proj/out/"}));
    EXPECT_EQ(Tree(Path(L"src\\Proj\\out\\Proj")), (Lines{L"a.txt", L"older/", L"out/"}));
}

TEST_F(DistributionRun, LinksToFoldersAreNeverFollowed) {
    Folders({L"src\\Proj\\zreal", L"src\\Proj\\sub", L"d1"});
    File(L"src\\Proj\\zreal\\r.txt", "real");
    File(L"src\\Proj\\sub\\b.txt", "b");
    // One that sorts before the folder it leads to, one back up the tree, one outside it.
    ASSERT_TRUE(test::MakeFolderLink(Path(L"src\\Proj\\alink"), Path(L"src\\Proj\\zreal")));
    ASSERT_TRUE(test::MakeFolderLink(Path(L"src\\Proj\\sub\\up"), Path(L"src\\Proj")));
    ASSERT_TRUE(test::MakeFolderLink(Path(L"src\\Proj\\outside"), Path(L"d1")));
    const RunOutcome outcome = Run({Path(L"src\\Proj")}, {Path(L"d1")}, true);
    EXPECT_EQ(outcome.end, RunOutcome::End::Completed);
    EXPECT_EQ(Tree(Path(L"d1")), (Lines{L"Proj/", L"Proj/sub/", L"Proj/sub/b.txt", L"Proj/zreal/", L"Proj/zreal/r.txt"}));
    EXPECT_EQ(outcome.leftOutLinks, (Lines{Path(L"src\\Proj\\alink"), Path(L"src\\Proj\\outside"),
                                           Path(L"src\\Proj\\sub\\up")}));
    EXPECT_EQ(distribution::OutcomeNote(outcome),
              L"Everything copied to 1 of 1 destination.\r\nLeft out 3 links to folders, never followed: " +
                  Path(L"src\\Proj\\alink") + L"; " + Path(L"src\\Proj\\outside") + L"; " +
                  Path(L"src\\Proj\\sub\\up"));
}

TEST_F(DistributionRun, AHiddenDestinationIsUsedAndARefusedSourceCopiesNothing) {
    Folders({L"src\\Proj", L"hidden"});
    File(L"src\\Proj\\a.txt", "a");
    ::SetFileAttributesW(Path(L"hidden").c_str(), FILE_ATTRIBUTE_HIDDEN);
    EXPECT_EQ(Run({Path(L"src\\Proj")}, {Path(L"hidden")}, true).destinations[0].state, State::Complete);
    EXPECT_EQ(test::ReadBytes(Path(L"hidden\\Proj\\a.txt")), "a");

    for (const std::wstring& refused : {std::wstring(LR"(\\server\share\folder)"), std::wstring(L"Z:\\")}) {
        const RunOutcome outcome = Run({Path(L"src\\Proj"), refused}, {Path(L"hidden")}, true);
        EXPECT_EQ(outcome.end, RunOutcome::End::Refused);
        EXPECT_FALSE(outcome.refusal.empty());
        EXPECT_EQ(outcome.filesCopied, 0u);
        EXPECT_EQ(distribution::OutcomeNote(outcome), L"");
    }
}

TEST(DistributionRunNote, ThirtyDestinationsReadAtAGlance) {
    RunOutcome outcome;
    outcome.end = RunOutcome::End::Halted;
    for (int i = 0; i < 30; ++i) {
        DestinationOutcome& destination = outcome.destinations.emplace_back();
        destination.destination = L"D:\\d" + std::to_wstring(i);
        destination.state = i < 20 ? State::Complete : i < 25 ? State::Skipped : State::Unfinished;
    }
    EXPECT_EQ(distribution::OutcomeNote(outcome),
              L"Everything copied to 20 of 30 destinations.\r\n"
              L"Skipped 5 destinations that do not exist: D:\\d20; D:\\d21; D:\\d22; and 2 more\r\n"
              L"Unfinished, the run halted first: 5 destinations: D:\\d25; D:\\d26; D:\\d27; and 2 more");
}

}  // namespace
