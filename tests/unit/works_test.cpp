#include "lists/works.h"

#include <gtest/gtest.h>

#include "platform/dialogs.h"
#include "test_support.h"

using Lines = std::vector<std::wstring>;

namespace {

// A list control in a hidden editor window, an open list file in a scratch folder, and every
// message box answered and recorded.
class ListWorks : public ::testing::Test {
protected:
    void SetUp() override {
        platform::SetMessageInterceptor([this](const std::wstring& text, int, const std::wstring&) {
            messages.push_back(text);
            return platform::kAnswerOk;
        });
        lists::SetEditorWindow(&window);
    }
    void TearDown() override {
        lists::SetEditorWindow(nullptr);
        platform::SetMessageInterceptor({});
    }

    void Open(const std::wstring& name) {
        lists::ListFile = scratch / name;
        lists::ListTitle = name;
    }
    void Fill(const std::string& bytes) {
        test::WriteBytes(lists::ListFile, bytes);
        lists::FillList(list);
    }
    Lines Entries() const {
        Lines entries;
        for (int i = 0; i < list.ListCount(); ++i) entries.push_back(list.List(i));
        return entries;
    }
    void Put(const Lines& entries) {
        list.Clear();
        for (const auto& entry : entries) list.AddItem(entry);
    }

    test::ScratchFolder scratch;
    test::HiddenWindow window;
    platform::ListBoxControl& list = window.Add<platform::ListBoxControl>(1, platform::TwipsRect{0, 0, 3000, 2000}, false);
    test::Restore<std::wstring> file{lists::ListFile};
    test::Restore<std::wstring> title{lists::ListTitle};
    Lines messages;
};

TEST_F(ListWorks, FillListReadsEachEntryOnceInFileOrderAndSetsTheCaption) {
    Open(L"Daily.qvl");
    Fill("C:\\Data\r\n\r\n   \r\nc:\\DATA\r\nD:\\x\rE:\\y\nF:\\z");
    EXPECT_EQ(Entries(), (Lines{L"C:\\Data", L"   ", L"D:\\x", L"E:\\y", L"F:\\z"}));
    EXPECT_EQ(list.ListIndex(), -1);  // the last line was new
    EXPECT_EQ(window.Caption(), L"Quorvander - Daily.qvl");
    EXPECT_TRUE(messages.empty());

    // The last non-empty line matched an entry: that entry is selected.
    list.Clear();
    Fill("A\r\nB\r\nC\r\nb\r\n\r\n");
    EXPECT_EQ(Entries(), (Lines{L"A", L"B", L"C"}));
    EXPECT_EQ(list.ListIndex(), 1);
}

TEST_F(ListWorks, FillListAppendsToEntriesAlreadyThere) {
    Put({L"X:\\old", L"B"});
    Open(L"More.qvl");
    Fill("A\r\nb\r\nC\r\n");
    EXPECT_EQ(Entries(), (Lines{L"X:\\old", L"B", L"A", L"C"}));
    EXPECT_EQ(list.ListIndex(), -1);

    lists::FillList(list);  // every line is there already
    EXPECT_EQ(Entries(), (Lines{L"X:\\old", L"B", L"A", L"C"}));
    EXPECT_EQ(list.ListIndex(), 3);
}

TEST_F(ListWorks, FillListOfAMissingFileAddsNothingButSetsTheCaption) {
    Put({L"X:\\old"});
    window.SetCaption(L"before");
    Open(L"Missing.qvl");
    lists::FillList(list);
    EXPECT_EQ(Entries(), Lines{L"X:\\old"});
    EXPECT_EQ(window.Caption(), L"Quorvander - Missing.qvl");
    EXPECT_TRUE(messages.empty());
    EXPECT_TRUE(test::AllNames(scratch.Path()).empty());
}

TEST_F(ListWorks, LongFileIsReadUpToTheLimitAndTheRestReportedOnce) {
    const int limit = platform::kMaxListEntries;
    std::string bytes;
    for (int i = 0; i < limit; ++i) bytes += "C:\\Dest\\" + std::to_string(i) + "\r\n";
    Open(L"Full.qvl");
    Fill(bytes + "c:\\dest\\7\r\n");  // exactly full, a duplicate after it: nothing left out
    EXPECT_EQ(list.ListCount(), limit);
    EXPECT_EQ(list.ListIndex(), 7);
    EXPECT_TRUE(messages.empty());

    list.Clear();
    for (int i = limit; i < limit + 123; ++i) bytes += "C:\\Dest\\" + std::to_string(i) + "\r\n";
    Fill(bytes + "C:\\DEST\\5\r\nc:\\dest\\0\r\n");  // duplicates are not left out
    EXPECT_EQ(list.ListCount(), limit);
    EXPECT_EQ(list.List(limit - 1), L"C:\\Dest\\32766");
    EXPECT_EQ(list.ListIndex(), 0);
    ASSERT_EQ(messages.size(), 1u);
    EXPECT_NE(messages[0].find(L" 123 "), std::wstring::npos) << messages[0];
}

TEST_F(ListWorks, AddUniqueSelectsWhatIsThereAndAppendsWhatIsNot) {
    Put({L"C:\\One", L"D:\\Two"});
    list.SetListIndex(1);
    lists::AddUnique(list, L"");
    EXPECT_EQ(Entries(), (Lines{L"C:\\One", L"D:\\Two"}));
    EXPECT_EQ(list.ListIndex(), 1);

    lists::AddUnique(list, L"c:\\ONE");
    EXPECT_EQ(Entries(), (Lines{L"C:\\One", L"D:\\Two"}));
    EXPECT_EQ(list.ListIndex(), 0);

    lists::AddUnique(list, L"E:\\Three");
    EXPECT_EQ(Entries(), (Lines{L"C:\\One", L"D:\\Two", L"E:\\Three"}));
    EXPECT_EQ(list.ListIndex(), -1);
}

TEST_F(ListWorks, SaveListWritesTheEntriesInOrderAndTouchesNoOtherFile) {
    test::WriteBytes(scratch / L"Other.qvl", "Z:\\other\r\n");
    test::WriteBytes(scratch / L"Hidden.qvl", "Z:\\hidden\r\n", FILE_ATTRIBUTE_HIDDEN);
    test::WriteBytes(scratch / L"Daily.qvl", "an older and longer list of the same name\r\nX:\\y\r\n");
    Open(L"Daily.qvl");
    Put({L"C:\\Shared", L"D:\\Backup"});
    lists::SaveList(list);
    EXPECT_EQ(test::ReadBytes(lists::ListFile), "C:\\Shared\r\nD:\\Backup\r\n");
    EXPECT_EQ(test::AllNames(scratch.Path()), (Lines{L"Daily.qvl", L"Hidden.qvl", L"Other.qvl"}));
    EXPECT_EQ(test::ReadBytes(scratch / L"Other.qvl"), "Z:\\other\r\n");
    EXPECT_EQ(test::ReadBytes(scratch / L"Hidden.qvl"), "Z:\\hidden\r\n");

    // What is saved loads back the same, in the same order.
    const Lines entries{L"E:\\\u03A9\u05D0\u4E2D", L"   ", L"C:\\Caf\u00E9", L"a:\\", L"C:\\Shared"};
    Put(entries);
    lists::SaveList(list);
    EXPECT_EQ(test::ReadBytes(lists::ListFile).value_or("").substr(0, 3), "\xEF\xBB\xBF");
    list.Clear();
    lists::FillList(list);
    EXPECT_EQ(Entries(), entries);
}

TEST_F(ListWorks, SavingAnEmptyListDeletesItsFileOnly) {
    test::WriteBytes(scratch / L"Other.qvl", "Z:\\other\r\n");
    Open(L"Gone.qvl");
    test::WriteBytes(lists::ListFile, "C:\\x\r\n");
    lists::SaveList(list);
    EXPECT_FALSE(test::Exists(lists::ListFile));
    lists::SaveList(list);  // nothing left to delete
    EXPECT_EQ(test::AllNames(scratch.Path()), Lines{L"Other.qvl"});
}

TEST_F(ListWorks, WithNoListOpenSavingWritesAndDeletesNothing) {
    test::CurrentFolderScope here(scratch.Path());
    test::WriteBytes(scratch / L"Keep.qvl", "C:\\keep\r\n");
    lists::ListFile.clear();
    Put({L"C:\\x"});
    EXPECT_NO_THROW(lists::SaveList(list));
    list.Clear();
    EXPECT_NO_THROW(lists::SaveList(list));
    EXPECT_EQ(test::AllNames(scratch.Path()), Lines{L"Keep.qvl"});
    EXPECT_EQ(test::ReadBytes(scratch / L"Keep.qvl"), "C:\\keep\r\n");
}

}  // namespace
