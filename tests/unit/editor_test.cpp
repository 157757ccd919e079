// The list editor and the destination picker, driven in-process through their commands, every
// box answered by the test: nothing the user added is ever lost without their word.
#include <windows.h>

#include <deque>

#include <gtest/gtest.h>

#include "lists/destination_picker.h"
#include "lists/list_editor.h"
#include "platform/controls.h"
#include "platform/dialogs.h"
#include "platform/path_rules.h"
#include "resources/resource_ids.h"
#include "test_support.h"

using test::Lines;

namespace {

// Answers each box with the next reply queued (OK when none is), and keeps what the boxes said.
class Answers : public platform::DialogAnswers {
public:
    using Reply = std::function<int()>;
    void Queue(int answer, std::function<void()> before = {}) {
        replies_.push_back([answer, before] {
            if (before) before();
            return answer;
        });
    }
    int Message(const std::wstring& text, int style, const std::wstring&) override {
        said.push_back(text);
        styles.push_back(style);
        if (replies_.empty()) return platform::kAnswerOk;
        const Reply reply = replies_.front();
        replies_.pop_front();
        return reply();
    }
    std::wstring Text(const std::wstring&, const std::wstring&) override { return nextName; }
    platform::OpenFileChoice OpenFile(const platform::OpenFileRequest&) override {
        return {nextFile, platform::LastComponent(nextFile)};
    }
    bool Said(const std::wstring& part) const {
        for (const auto& text : said)
            if (text.find(part) != std::wstring::npos) return true;
        return false;
    }

    Lines said;
    std::vector<int> styles;
    std::wstring nextFile, nextName;

private:
    std::deque<Reply> replies_;
};

class EditorTest : public ::testing::Test {
protected:
    void SetUp() override { platform::SetDialogAnswers(&answers); }
    void TearDown() override {
        platform::SetDialogAnswers(nullptr);
        MSG quit;  // the editor's closing ends the program's event loop: not this one's
        ::PeekMessageW(&quit, nullptr, WM_QUIT, WM_QUIT, PM_REMOVE);
    }

    static void Command(const platform::Window& window, int id) { ::SendMessageW(window.Handle(), WM_COMMAND, id, 0); }
    static HWND Child(const platform::Window& window, int id) { return ::GetDlgItem(window.Handle(), id); }
    static Lines Rows(HWND list) {
        Lines rows;
        const int count = static_cast<int>(::SendMessageW(list, LB_GETCOUNT, 0, 0));
        for (int i = 0; i < count; ++i) {
            std::wstring row(static_cast<std::size_t>(::SendMessageW(list, LB_GETTEXTLEN, i, 0)), L'\0');
            ::SendMessageW(list, LB_GETTEXT, i, reinterpret_cast<LPARAM>(row.data()));
            rows.push_back(row);
        }
        return rows;
    }
    static Lines Shown(const platform::Window& editor) { return Rows(Child(editor, IDC_EDITOR_LIST)); }
    void Load(const platform::Window& editor, const std::wstring& file) {
        answers.nextFile = file;
        Command(editor, IDM_FILE_LOAD);
    }
    static void Remove(const platform::Window& editor, int index) {
        ::SendMessageW(Child(editor, IDC_EDITOR_LIST), LB_SETCURSEL, index, 0);
        Command(editor, IDC_EDITOR_REMOVE);
    }

    Answers answers;
    test::ScratchFolder scratch;
};

TEST_F(EditorTest, AFailedSaveKeepsTheDestinationsAndLeavingAsksFirst) {
    const std::wstring file = scratch / L"Office.qvl", other = scratch / L"Other.qvl";
    test::WriteBytes(file, "C:\\A\r\nC:\\B\r\n");
    test::WriteBytes(other, "C:\\Other\r\n");
    lists::ListEditor editor;
    Load(editor, file);
    // Another program holds the file open without leave to replace it.
    HANDLE held = ::CreateFileW(file.c_str(), GENERIC_READ, FILE_SHARE_READ, nullptr, OPEN_EXISTING, 0, nullptr);
    ASSERT_NE(held, INVALID_HANDLE_VALUE);

    answers.Queue(platform::kAnswerCancel);
    Remove(editor, 0);
    ASSERT_EQ(answers.said.size(), 1u);
    EXPECT_EQ(answers.styles[0] & 0xF, platform::kRetryCancel) << answers.said[0];
    EXPECT_EQ(Shown(editor), Lines{L"C:\\B"});
    EXPECT_EQ(test::ReadBytes(file), "C:\\A\r\nC:\\B\r\n");

    // Done asks; Cancel stays, and so does a Load List answered Cancel.
    answers.Queue(platform::kAnswerCancel);
    Command(editor, IDC_EDITOR_DONE);
    answers.Queue(platform::kAnswerCancel);
    Load(editor, other);
    ASSERT_EQ(answers.said.size(), 3u);
    EXPECT_EQ(answers.styles[1] & 0xF, platform::kYesNoCancel) << answers.said[1];
    EXPECT_TRUE(editor.Exists());
    EXPECT_EQ(Shown(editor), Lines{L"C:\\B"});

    // Yes saves again; it fails once more, and Retry, with the file free by then, saves it.
    answers.Queue(platform::kAnswerYes);
    answers.Queue(platform::kAnswerRetry, [&] { ::CloseHandle(held); });
    Command(editor, IDC_EDITOR_DONE);
    EXPECT_EQ(answers.said.size(), 5u);
    EXPECT_EQ(test::ReadBytes(file), "C:\\B\r\n");
    EXPECT_FALSE(editor.Exists());
}

TEST_F(EditorTest, NoDropsTheUnsavedChangesOnlyWhenTheUserSaysSo) {
    const std::wstring file = scratch / L"Office.qvl";
    test::WriteBytes(file, "C:\\A\r\nC:\\B\r\n");
    lists::ListEditor editor;
    Load(editor, file);
    HANDLE held = ::CreateFileW(file.c_str(), GENERIC_READ, FILE_SHARE_READ, nullptr, OPEN_EXISTING, 0, nullptr);
    answers.Queue(platform::kAnswerCancel);
    Remove(editor, 1);
    ::CloseHandle(held);
    answers.Queue(platform::kAnswerNo);
    answers.nextName = L"Fresh";
    Command(editor, IDM_FILE_NEW);
    EXPECT_EQ(answers.said.size(), 2u);
    EXPECT_EQ(editor.Caption(), L"Quorvander - Fresh");
    EXPECT_EQ(test::ReadBytes(file), "C:\\A\r\nC:\\B\r\n");
}

TEST_F(EditorTest, AnEditInNotepadMeanwhileIsTakenInAndShown) {
    const std::wstring file = scratch / L"Office.qvl";
    test::WriteBytes(file, "C:\\A\r\nC:\\B\r\n");
    lists::ListEditor editor;
    Load(editor, file);
    test::WriteBytes(file, "C:\\A\r\nC:\\B\r\nD:\\Donn\xC3\xA9" "es\r\n");
    Remove(editor, 0);
    EXPECT_EQ(Shown(editor), (Lines{L"C:\\B", L"D:\\Donn\u00E9es"}));
    EXPECT_EQ(test::ReadBytes(file), "C:\\B\r\nD:\\Donn\xC3\xA9" "es\r\n");
    EXPECT_TRUE(answers.said.empty());
}

TEST_F(EditorTest, AFileThatIsNoListIsRefusedAndTheOpenListStays) {
    const std::wstring file = scratch / L"Office.qvl", document = scratch / L"Report.docx";
    test::WriteBytes(file, "C:\\A\r\nC:\\B\r\n");
    const std::string bytes("PK\x03\x04\x14\0\x06\0[Content_Types].xml", 27);
    test::WriteBytes(document, bytes);
    lists::ListEditor editor;
    Load(editor, file);
    Load(editor, document);
    EXPECT_TRUE(answers.Said(L"cannot be read")) << testing::PrintToString(answers.said);
    EXPECT_EQ(Shown(editor), (Lines{L"C:\\A", L"C:\\B"}));
    EXPECT_EQ(editor.Caption(), L"Quorvander - Office.qvl");
    Remove(editor, 0);
    EXPECT_EQ(test::ReadBytes(file), "C:\\B\r\n");
    EXPECT_EQ(test::ReadBytes(document), bytes);
}

TEST_F(EditorTest, AListLongerThanTheWindowHoldsLoadsAtOnceAndLosesNoLine) {
    std::string bytes;
    for (int i = 0; i < 40000; ++i) bytes += "C:\\Dest\\" + std::to_string(i) + "\r\n";
    const std::wstring file = scratch / L"Long.qvl";
    test::WriteBytes(file, bytes);
    lists::ListEditor editor;
    Load(editor, file);
    EXPECT_EQ(Shown(editor).size(), static_cast<std::size_t>(platform::kMaxListEntries));
    EXPECT_TRUE(answers.Said(L" 7233 ")) << testing::PrintToString(answers.said);
    Remove(editor, 0);
    const std::string kept = test::ReadBytes(file).value_or("");
    EXPECT_TRUE(kept == bytes.substr(bytes.find('\n') + 1)) << kept.size() << " bytes kept of " << bytes.size();
}

// The picker of a list that already holds folders, opened at `start`.
struct Picker {
    Picker(const std::wstring& start, const Lines& entries) {
        list.SetItems(entries);
        picker.emplace(list, start);
    }
    std::wstring Path() const {
        wchar_t text[1024] = L"";
        ::GetWindowTextW(::GetDlgItem(picker->Handle(), IDC_PICKER_PATH), text, 1024);
        return text;
    }
    test::HiddenWindow editor;
    platform::ListBoxControl& list = editor.Add<platform::ListBoxControl>(1, platform::TwipsRect{}, false);
    std::optional<lists::DestinationPicker> picker;
};

TEST_F(EditorTest, PickerSaysWhatCannotBeOpenedAndStaysWhereItWas) {
    test::MakeFolder(scratch / L"Gone");
    test::MakeFolder(scratch / L"Kept");
    Picker picker(scratch / L"Missing\\Deeper", {L"C:\\Added before"});
    EXPECT_EQ(picker.Path(), scratch.Path());  // the nearest folder that can be read
    ASSERT_EQ(answers.said.size(), 1u);
    EXPECT_TRUE(answers.Said(L"Missing\\Deeper cannot be opened")) << answers.said[0];

    // A folder that went away after it was listed (a share, a folder deleted meanwhile).
    const HWND folders = Child(*picker.picker, IDC_PICKER_FOLDERS);
    const Lines rows = Rows(folders);
    const auto gone = std::find_if(rows.begin(), rows.end(),
                                   [](const std::wstring& row) { return row.find(L"Gone") != std::wstring::npos; });
    ASSERT_NE(gone, rows.end());
    test::RemoveTree(scratch / L"Gone");
    ::SendMessageW(folders, LB_SETCURSEL, gone - rows.begin(), 0);
    ::SendMessageW(picker.picker->Handle(), WM_COMMAND, MAKEWPARAM(IDC_PICKER_FOLDERS, LBN_DBLCLK),
                   reinterpret_cast<LPARAM>(folders));
    EXPECT_EQ(answers.said.size(), 2u);
    EXPECT_EQ(picker.Path(), scratch.Path());
    Command(*picker.picker, IDC_PICKER_ADD);
    EXPECT_EQ(picker.list.Items(), (Lines{L"C:\\Added before", scratch.Path()}));
}

TEST_F(EditorTest, PickerAddsNothingToAFullListButSaysSo) {
    Lines full;
    for (int i = 0; i < platform::kMaxListEntries; ++i) full.push_back(L"C:\\Dest\\" + std::to_wstring(i));
    full.back() = scratch.Path();
    test::MakeFolder(scratch / L"Sub");
    Picker picker(scratch / L"Sub", full);
    Command(*picker.picker, IDC_PICKER_ADD);
    EXPECT_EQ(picker.list.Items(), full);
    EXPECT_TRUE(answers.Said(L"the most a list can hold")) << testing::PrintToString(answers.said);

    picker.picker.emplace(picker.list, scratch.Path());  // a folder already there is selected
    Command(*picker.picker, IDC_PICKER_ADD);
    EXPECT_EQ(picker.list.ListIndex(), platform::kMaxListEntries - 1);
    EXPECT_EQ(answers.said.size(), 1u);
}

}  // namespace
