#include "lists/form_main.h"

#include "lists/works.h"

namespace lists {

form_Main::form_Main() {
    Create(L"Quorvander.ListEditor", L"Quorvander", 5370, 3195,
           WS_OVERLAPPED | WS_CAPTION | WS_SYSMENU | WS_MINIMIZEBOX);
    SetEditorWindow(this);
}

form_Main::~form_Main() { SetEditorWindow(nullptr); }

}  // namespace lists
