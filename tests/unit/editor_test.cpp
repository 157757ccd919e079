// The list editor and the destination picker, driven in-process through their commands, every
// box answered by the test: nothing the user added is ever lost without their word. And the
// keyboard alone, through the program's own event handling: Tab, Enter and Esc as a person uses them.
#include <windows.h>
#include <shlobj.h>

#include <deque>

#include <gtest/gtest.h>

#include "lists/destination_picker.h"
#include "lists/list_editor.h"
#include "platform/app.h"
#include "platform/controls.h"
#include "platform/dialogs.h"
#include "platform/path_rules.h"
#include "resources/resource_ids.h"
#include "test_support.h"

using test::Lines;

namespace {

// Answers each box with the next reply queued (OK when none is, running `before` first), and
// keeps what each box said and which buttons it had.
class EditorTest : public ::testing::Test, public platform::DialogAnswers {
protected:
    void SetUp() override { platform::SetDialogAnswers(this); }
    void TearDown() override {
        platform::SetDialogAnswers(nullptr);
        MSG quit;  // the editor's closing ends the program's event loop: not this one's
        ::PeekMessageW(&quit, nullptr, WM_QUIT, WM_QUIT, PM_REMOVE);
    }
    int Message(const std::wstring& text, int style, const std::wstring&) override {
        said.push_back(text);
        buttons.push_back(style & 0xF);
        if (replies.empty()) return platform::kAnswerOk;
        const auto [answer, before] = replies.front();
        replies.pop_front();
        if (before) before();
        return answer;
    }
    std::wstring Text(const std::wstring&, const std::wstring&) override { return typed < names.size() ? names[typed++] : L""; }
    platform::OpenFileChoice OpenFile(const platform::OpenFileRequest&) override {
        return {nextFile, platform::LastComponent(nextFile)};
    }
    bool Said(const std::wstring& part) const {
        return std::any_of(said.begin(), said.end(), [&](const auto& text) { return text.find(part) != std::wstring::npos; });
    }

    static void Command(const platform::Window& window, int id) { ::SendMessageW(window.Handle(), WM_COMMAND, id, 0); }
    void Load(const platform::Window& editor, const std::wstring& file) {
        nextFile = file;
        Command(editor, IDM_FILE_LOAD);
    }
    static void Remove(const platform::Window& editor, int index) {
        ::SendDlgItemMessageW(editor.Handle(), IDC_EDITOR_LIST, LB_SETCURSEL, index, 0);
        Command(editor, IDC_EDITOR_REMOVE);
    }
    static void Drop(const platform::Window& window, const Lines& paths) {  // as Explorer drops them
        std::wstring names;
        for (const auto& path : paths) names += path + L'\0';  // the last NUL: GPTR's zeros
        auto* drop = static_cast<DROPFILES*>(::GlobalAlloc(GPTR, sizeof(DROPFILES) + (names.size() + 1) * sizeof(wchar_t)));
        *drop = DROPFILES{sizeof(DROPFILES), {}, FALSE, TRUE};
        std::copy(names.begin(), names.end(), reinterpret_cast<wchar_t*>(drop + 1));
        ::SendMessageW(window.Handle(), WM_DROPFILES, reinterpret_cast<WPARAM>(drop), 0);
    }
    static std::string Narrow(const std::wstring& ascii) { return {ascii.begin(), ascii.end()}; }
    // The editor with Office.qvl (A, B) open, the file held by another program that shares no write.
    HANDLE OpenHeld(lists::ListEditor& editor) {
        test::WriteBytes(scratch / L"Office.qvl", "C:\\A\r\nC:\\B\r\n");
        Load(editor, scratch / L"Office.qvl");
        return ::CreateFileW((scratch / L"Office.qvl").c_str(), GENERIC_READ, FILE_SHARE_READ, nullptr, OPEN_EXISTING, 0, nullptr);
    }

    std::deque<std::pair<int, std::function<void()>>> replies;
    Lines said;
    std::vector<int> buttons;
    Lines names;  // typed into the input boxes, in turn
    std::size_t typed = 0;
    std::wstring nextFile;
    test::ScratchFolder scratch;
};

// Nothing added is dropped after a failed save unless the user says No.
TEST_F(EditorTest, AFailedSaveKeepsTheDestinationsAndLeavingAsksFirst) {
    lists::ListEditor editor;
    HANDLE held = OpenHeld(editor);
    // The save fails: Cancel keeps the change in the window. Done and Load List then ask; Cancel stays.
    replies = {{platform::kAnswerCancel, {}}, {platform::kAnswerCancel, {}}, {platform::kAnswerCancel, {}}};
    Remove(editor, 0);
    Command(editor, IDC_EDITOR_DONE);
    Load(editor, scratch / L"Other.qvl");
    EXPECT_EQ(buttons, (std::vector<int>{platform::kRetryCancel, platform::kYesNoCancel, platform::kYesNoCancel}));
    EXPECT_TRUE(editor.Exists());
    EXPECT_EQ(test::ReadBytes(scratch / L"Office.qvl"), "C:\\A\r\nC:\\B\r\n");
    // Yes saves again; it fails once more, and Retry, with the file free by then, saves it.
    replies = {{platform::kAnswerYes, {}}, {platform::kAnswerRetry, [&] { ::CloseHandle(held); }}};
    Command(editor, IDC_EDITOR_DONE);
    EXPECT_EQ(said.size(), 5u);
    EXPECT_EQ(test::ReadBytes(scratch / L"Office.qvl"), "C:\\B\r\n");
    EXPECT_FALSE(editor.Exists());

    // Another editor: its save fails, and New List asked No drops the change. A name that cannot
    // be a file's is refused, and the question comes again.
    lists::ListEditor other;
    held = OpenHeld(other);
    replies = {{platform::kAnswerCancel, [&] { ::CloseHandle(held); }}, {platform::kAnswerNo, {}}};
    Remove(other, 0);
    names = {L"CON", L"Fresh"};
    Command(other, IDM_FILE_NEW);
    EXPECT_EQ(said.size(), 8u);
    EXPECT_TRUE(Said(L"a name Windows keeps for a device")) << testing::PrintToString(said);
    EXPECT_EQ(other.Caption(), L"Quorvander - Fresh");
    EXPECT_EQ(test::ReadBytes(scratch / L"Office.qvl"), "C:\\A\r\nC:\\B\r\n");
}

// An edit in Notepad meanwhile is taken in; a file that is no list is refused and left alone.
TEST_F(EditorTest, AnEditInNotepadMeanwhileIsTakenInAndAFileThatIsNoListIsRefused) {
    const std::wstring file = scratch / L"Office.qvl", document = scratch / L"Report.docx";
    const std::string bytes("PK\x03\x04\x14\0\x06\0[Content_Types].xml", 27);
    test::WriteBytes(file, "C:\\A\r\nC:\\B\r\n");
    test::WriteBytes(document, bytes);
    lists::ListEditor editor;
    Load(editor, file);
    Load(editor, document);
    EXPECT_TRUE(Said(L"cannot be read")) << testing::PrintToString(said);
    EXPECT_EQ(editor.Caption(), L"Quorvander - Office.qvl");
    test::WriteBytes(file, "C:\\A\r\nC:\\B\r\nD:\\Donn\xC3\xA9" "es\r\n");
    Remove(editor, 0);
    EXPECT_EQ(::SendDlgItemMessageW(editor.Handle(), IDC_EDITOR_LIST, LB_GETCOUNT, 0, 0), 2);
    EXPECT_EQ(test::ReadBytes(file), "C:\\B\r\nD:\\Donn\xC3\xA9" "es\r\n");
    EXPECT_EQ(test::ReadBytes(document), bytes);
    EXPECT_EQ(said.size(), 1u);
}

TEST_F(EditorTest, AListLongerThanTheWindowHoldsLoadsAtOnceAndLosesNoLine) {
    std::string bytes;
    for (int i = 0; i < 40000; ++i) bytes += "C:\\Dest\\" + std::to_string(i) + "\r\n";
    test::WriteBytes(scratch / L"Long.qvl", bytes);
    lists::ListEditor editor;
    Load(editor, scratch / L"Long.qvl");
    EXPECT_EQ(::SendDlgItemMessageW(editor.Handle(), IDC_EDITOR_LIST, LB_GETCOUNT, 0, 0), platform::kMaxListEntries);
    EXPECT_TRUE(Said(L" 7233 ")) << testing::PrintToString(said);
    Remove(editor, 0);
    EXPECT_TRUE(test::ReadBytes(scratch / L"Long.qvl") == bytes.substr(bytes.find('\n') + 1));
}

// The picker of a list that already holds a folder, opened at a folder that is missing, then at
// one that went away after it was listed (a share, a folder deleted meanwhile); then on a full list.
TEST_F(EditorTest, PickerSaysWhatCannotBeOpenedOrThatTheListIsFullAndStaysWhereItWas) {
    test::HiddenWindow editor;
    auto& list = editor.Add<platform::ListBoxControl>(1, platform::TwipsRect{}, false);
    list.SetItems({L"C:\\Added before"});
    test::MakeFolder(scratch / L"Gone");
    std::optional<lists::DestinationPicker> picker(std::in_place, list, scratch / L"Missing\\Deeper");
    test::RemoveTree(scratch / L"Gone");
    const HWND folders = ::GetDlgItem(picker->Handle(), IDC_PICKER_FOLDERS);  // Gone: the last row
    ::SendMessageW(folders, LB_SETCURSEL, ::SendMessageW(folders, LB_GETCOUNT, 0, 0) - 1, 0);
    ::SendMessageW(picker->Handle(), WM_COMMAND, MAKEWPARAM(IDC_PICKER_FOLDERS, LBN_DBLCLK), reinterpret_cast<LPARAM>(folders));
    Command(*picker, IDC_PICKER_ADD);  // the nearest folder that can be read, where it stayed
    EXPECT_EQ(list.Items(), (Lines{L"C:\\Added before", scratch.Path()}));
    EXPECT_TRUE(Said(L"Missing\\Deeper cannot be opened")) << testing::PrintToString(said);

    Lines full = list.Items();  // a folder already there is selected; another is not added
    full.resize(platform::kMaxListEntries, L"C:\\Dest");
    list.SetItems(full);
    Command(*picker, IDC_PICKER_ADD);
    EXPECT_EQ(list.ListIndex(), 1);
    EXPECT_EQ(said.size(), 2u);  // the missing folder's, and Gone's
    picker.emplace(list, platform::ParentOf(scratch.Path()));
    Command(*picker, IDC_PICKER_ADD);
    EXPECT_EQ(list.Items(), full);
    EXPECT_TRUE(Said(L"the most a list can hold")) << testing::PrintToString(said);
}

// Folders dropped from Explorer are added once each, letter case ignored; the rest are named.
TEST_F(EditorTest, DroppedFoldersAreAddedOnceAndWhatIsNoFolderIsNamedAndLeftOut) {
    const std::wstring a = scratch / L"A", b = scratch / L"B", list = scratch / L"Office.qvl";
    test::MakeFolder(a), test::MakeFolder(b), test::WriteBytes(list, Narrow(a + L"\r\n")), test::WriteBytes(scratch / L"notes.txt", "");
    lists::ListEditor editor;
    Load(editor, list);
    EXPECT_TRUE(::GetWindowLongPtrW(editor.Handle(), GWL_EXSTYLE) & WS_EX_ACCEPTFILES);  // Explorer may drop there
    Drop(editor, {scratch / L"notes.txt", b, scratch / L"a", scratch / L"p", scratch / L"q", scratch / L"r"});
    EXPECT_EQ(test::ReadBytes(list), Narrow(a + L"\r\n" + b + L"\r\n"));
    EXPECT_EQ(::SendDlgItemMessageW(editor.Handle(), IDC_EDITOR_LIST, LB_GETCOUNT, 0, 0), 2);
    EXPECT_EQ(said, Lines{L"Only folders can be destinations. Not added: notes.txt; p; q; and 1 more."});
}

// A typed or pasted path loses the blanks and quotes around it; what is no folder is refused, saying why.
TEST_F(EditorTest, ATypedPathIsAddedWithoutItsQuotesAndOneThatIsNoFolderIsRefusedSayingWhy) {
    const std::wstring list = scratch / L"Office.qvl";
    test::WriteBytes(list, ""), test::WriteBytes(scratch / L"notes.txt", "");
    lists::ListEditor editor;
    Load(editor, list);
    const std::tuple<std::wstring, std::wstring, std::string> cases[] = {  // typed, said, the file then
        {L"  ", L"", ""},
        {L"Office", L"Office was not added: it is not the full path", ""},
        {L" \"" + scratch / L"notes.txt\"", scratch / L"notes.txt was not added: it is a file", ""},
        {scratch / L"Gone\\", scratch / L"Gone was not added: it does not exist", ""},
        {L"\"" + scratch.Path() + L"\\\"  ", L"", Narrow(scratch.Path() + L"\r\n")}};
    for (const auto& [text, says, bytes] : cases) {
        names = {text}, typed = 0, said.clear();
        Command(editor, IDM_FILE_ADD_PATH);
        EXPECT_EQ(said.empty() ? L"" : said[0].substr(0, says.size()), says) << text;
        EXPECT_EQ(test::ReadBytes(list), bytes) << text;
    }
}

std::vector<int> Keys(std::initializer_list<UINT> keys) {  // the focus before and after each key
    std::vector<int> focus{::GetDlgCtrlID(::GetFocus())};
    for (const UINT key : keys) {
        for (const UINT message : {WM_KEYDOWN, WM_KEYUP}) ::PostMessageW(::GetFocus(), message, key, 1);
        for (MSG m; ::PeekMessageW(&m, nullptr, 0, 0, PM_REMOVE);) platform::DispatchEvent(m);
        focus.push_back(::GetDlgCtrlID(::GetFocus()));
    }
    return focus;
}

using Keyboard = EditorTest;  // its windows' closing, too, ends the program's event loop only

TEST_F(Keyboard, TabWalksTheTabOrderEnterPressesTheFocusedButtonOrOpensTheFolderEscIsFinished) {
    test::MakeFolder(scratch / L"Dest");
    test::HiddenWindow owner;
    auto& first = owner.Add<platform::Button>(7, platform::TwipsRect{}, L"");
    owner.Add<platform::Button>(8, platform::TwipsRect{}, L"");
    owner.Show();
    first.SetEnabled(false);  // a button disabled under the focus hands it on; Enter presses the one that has it
    EXPECT_EQ(Keys({VK_RETURN}), (std::vector<int>{8, 8}));
    EXPECT_EQ(owner.command, 8);
    auto& added = owner.Add<platform::ListBoxControl>(1, platform::TwipsRect{}, false);
    lists::DestinationPicker picker(added, scratch.Path());
    picker.Show();  // Down only highlights Dest: Add Path adds the open folder; Enter opens Dest
    EXPECT_EQ(Keys({VK_TAB, VK_DOWN, VK_TAB, VK_TAB, VK_RETURN, VK_TAB, VK_TAB, VK_RETURN, VK_TAB, VK_TAB, VK_RETURN,
                    VK_ESCAPE}),
              (std::vector<int>{2001, 2003, 2003, 2005, 2004, 2004, 2001, 2003, 2003, 2005, 2004, 2004, 8}));
    EXPECT_EQ(added.Items(), (test::Lines{scratch.Path(), scratch / L"Dest"}));
}

}  // namespace
