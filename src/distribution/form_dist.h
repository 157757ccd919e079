// The distribution window.
#pragma once

#include "platform/window.h"

namespace distribution {

class form_Dist : public platform::Window {
public:
    form_Dist();
};

}  // namespace distribution
