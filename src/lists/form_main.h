// The list editor window.
#pragma once

#include "platform/window.h"

namespace lists {

class form_Main : public platform::Window {
public:
    form_Main();
    ~form_Main() override;
};

}  // namespace lists
