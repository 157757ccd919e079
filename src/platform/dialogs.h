// Modal boxes: messages, a one-line question, the open-file dialog.
#pragma once

#include <string>

#include "platform/failure.h"

namespace platform {

// Icons and buttons of ShowMessage, added together as a style.
enum MessageStyle : int {
    kOkOnly = 0,
    kYesNoCancel = 3,
    kYesNo = 4,
    kRetryCancel = 5,
    kErrorIcon = 16,
    kQuestionIcon = 32,
    kWarningIcon = 48,
    kInformationIcon = 64,
};
// What ShowMessage answers.
enum MessageAnswer : int { kAnswerOk = 1, kAnswerCancel = 2, kAnswerRetry = 4, kAnswerYes = 6, kAnswerNo = 7 };

// A modal message box over the program's active window; a CR in `text` breaks the line.
// Returns the button pressed.
int ShowMessage(const std::wstring& text, int style, const std::wstring& title);

// A modal one-line input; returns the text typed, "" when cancelled.
std::wstring AskText(const std::wstring& prompt, const std::wstring& title);

// The open-file dialog: set up before it opens.
struct OpenFileRequest {
    std::wstring filter;  // "Description|pattern" pairs joined by "|"
    std::wstring title;
    std::wstring initialFolder;
    // The chosen file need not exist, and the read-only box is hidden.
};
struct OpenFileChoice {
    std::wstring path;       // full path; "" when cancelled
    std::wstring fileTitle;  // the name with extension, without folder
};
OpenFileChoice ShowOpenFile(const OpenFileRequest& request);

// Tests answer the boxes above in-process through this: while one is set, each box asks it
// instead of showing itself. nullptr restores the boxes.
class DialogAnswers {
public:
    virtual ~DialogAnswers() = default;
    virtual int Message(const std::wstring& text, int style, const std::wstring& title) = 0;
    virtual std::wstring Text(const std::wstring& prompt, const std::wstring& title) = 0;
    virtual OpenFileChoice OpenFile(const OpenFileRequest& request) = 0;
};
void SetDialogAnswers(DialogAnswers* answers) noexcept;

// The standard error message for a failure that nothing handled.
void ShowStandardError(const Failure& failure);

// A message-box text with every lone CR made a line break the box shows.
std::wstring MessageBoxText(const std::wstring& text);

}  // namespace platform
