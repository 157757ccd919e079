// The destination picker: a drive and folder chooser that adds the open folder to a list.
#pragma once

#include <string>

#include "platform/controls.h"
#include "platform/window.h"

namespace lists {

class DestinationPicker : public platform::Window {
public:
    // `destinations` is the list editor's list, which receives the folders added; the picker
    // opens at `startFolder`.
    DestinationPicker(platform::ListBoxControl& destinations, std::wstring startFolder);

private:
    void OnCreate() override;
    void OnCommand(int id, int notification, HWND control) override;

    // Opens `start`, or when it cannot be read the nearest folder that can, and says so.
    void OpenStartFolder(const std::wstring& start);
    void OnDriveChanged();
    void OnFolderChanged();
    void OnAddPath();
    void OnFinished();

    platform::ListBoxControl& editorList_;
    std::wstring startFolder_;
    platform::DriveListControl* driveList_ = nullptr;
    platform::FolderListControl* folderList_ = nullptr;
    platform::Button* addPathButton_ = nullptr;
    platform::Button* finishedButton_ = nullptr;
    platform::Label* pathLabel_ = nullptr;
};

}  // namespace lists
