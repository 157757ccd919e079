#include "platform/shell.h"

#include <windows.h>
#include <objbase.h>
#include <shlobj.h>
#include <shobjidl.h>

#include "platform/failure.h"
#include "platform/files.h"
#include "platform/handles.h"
#include "platform/path_rules.h"

namespace platform {
namespace {

void Check(HRESULT result) {
    if (FAILED(result)) {
        const DWORD number =
            HRESULT_FACILITY(result) == FACILITY_WIN32 ? HRESULT_CODE(result) : static_cast<DWORD>(result);
        throw Failure(number, SystemErrorText(static_cast<DWORD>(result)));
    }
}

}  // namespace

ComApartment::ComApartment()
    : initialised_(SUCCEEDED(::CoInitializeEx(nullptr, COINIT_APARTMENTTHREADED | COINIT_DISABLE_OLE1DDE))) {}

ComApartment::~ComApartment() {
    if (initialised_) ::CoUninitialize();
}

TaskbarProgress::TaskbarProgress(const Window& window) noexcept : window_(window.Handle()) {
    if (FAILED(::CoCreateInstance(CLSID_TaskbarList, nullptr, CLSCTX_INPROC_SERVER, IID_ITaskbarList3,
                                  taskbar_.PutVoid())) ||
        !taskbar_ || FAILED(taskbar_->HrInit()))
        taskbar_.Reset();
}

void TaskbarProgress::Show(std::uint64_t done, std::uint64_t total) noexcept {
    done_ = done;
    total_ = total;
    if (state_ == State::None) state_ = State::Going;
    if (taskbar_) taskbar_->SetProgressValue(window_, done, total);
}

void TaskbarProgress::ShowHalted() noexcept {
    state_ = State::Halted;
    if (taskbar_) taskbar_->SetProgressState(window_, TBPF_ERROR);
}

void TaskbarProgress::Clear() noexcept {
    state_ = State::None;
    if (taskbar_) taskbar_->SetProgressState(window_, TBPF_NOPROGRESS);
}

void TaskbarProgress::ShowAgain() noexcept {
    if (!taskbar_) return;
    taskbar_->SetProgressState(window_, state_ == State::Halted  ? TBPF_ERROR
                                        : state_ == State::Going ? TBPF_NORMAL
                                                                 : TBPF_NOPROGRESS);
    if (state_ != State::None) taskbar_->SetProgressValue(window_, done_, total_);
}

std::wstring StartMenuProgramsFolder() {
    wchar_t* folder = nullptr;
    const HRESULT result = ::SHGetKnownFolderPath(FOLDERID_Programs, KF_FLAG_CREATE, nullptr, &folder);
    std::wstring path = SUCCEEDED(result) && folder ? folder : L"";
    ::CoTaskMemFree(folder);
    Check(result);
    return path;
}

void CreateShellLink(const std::wstring& folder, const std::wstring& name, const std::wstring& target,
                     const std::wstring& arguments) {
    const bool relative = !(folder.size() >= 2 && (folder[1] == L':' || folder.rfind(LR"(\\)", 0) == 0));
    const std::wstring linkFolder = FullPath(relative ? JoinPath(StartMenuProgramsFolder(), folder) : folder);
    ComPtr<IShellLinkW> link;
    Check(::CoCreateInstance(CLSID_ShellLink, nullptr, CLSCTX_INPROC_SERVER, IID_IShellLinkW, link.PutVoid()));
    Check(link->SetPath(target.c_str()));
    Check(link->SetArguments(arguments.c_str()));
    Check(link->SetWorkingDirectory(ParentOf(target).c_str()));
    ComPtr<IPersistFile> file;
    Check(link->QueryInterface(IID_IPersistFile, file.PutVoid()));
    Check(file->Save(JoinPath(linkFolder, name + L".lnk").c_str(), TRUE));
}

}  // namespace platform
