#include "lists/works.h"

#include <vector>

#include "lists/list_file.h"
#include "platform/dialogs.h"
#include "platform/files.h"

namespace lists {

std::wstring ListFile;
std::wstring ListTitle;

namespace {

platform::Window* g_editor = nullptr;

}  // namespace

std::wstring ListsFolder() { return platform::ProgramFolder() + L"\\Distribution Lists"; }

std::wstring ListPathOf(const std::wstring& name) { return ListsFolder() + L"\\" + name + L".qvl"; }

void SetEditorWindow(platform::Window* editor) noexcept { g_editor = editor; }

void AddUnique(platform::ListBoxControl& list, const std::wstring& path) {
    if (path.empty()) return;
    list.SetText(path);
    if (list.ListIndex() == -1) list.AddItem(path);
}

void FillList(platform::ListBoxControl& list) {
    long leftOut = 0;
    if (!platform::FirstMatch(ListFile, platform::kAnyFiles).empty()) {
        for (const auto& line : DecodeListFile(platform::ReadWholeFile(ListFile))) {
            if (line.empty()) continue;
            if (list.ListCount() >= platform::kMaxListEntries) {
                list.SetText(line);
                if (list.ListIndex() == -1) ++leftOut;
                continue;
            }
            AddUnique(list, line);
        }
    }
    if (g_editor) g_editor->SetCaption(L"Quorvander - " + ListTitle);
    if (leftOut > 0) {
        platform::ShowMessage(L"The list " + ListTitle + L" holds more destinations than a list can hold (32,767). "
                              L"The first 32,767 were read; " + std::to_wstring(leftOut) +
                              L" more were left out.",
                              platform::kWarningIcon, L"Quorvander Utility");
    }
}

void SaveList(const platform::ListBoxControl& list) {
    if (ListFile.empty()) return;
    const int count = list.ListCount();
    if (count <= 0) {
        if (!platform::FirstMatch(ListFile, platform::kAnyFiles).empty()) platform::DeleteFiles(ListFile);
        return;
    }
    std::vector<std::wstring> entries;
    entries.reserve(static_cast<std::size_t>(count));
    for (int i = 0; i < count; ++i) entries.push_back(list.List(i));
    platform::ReplaceFileContents(ListFile, EncodeListFile(entries));
}

}  // namespace lists
