#include "distribution/form_dist.h"

namespace distribution {

form_Dist::form_Dist() {
    Create(L"Quorvander.Distribution", L"Distributing ", 5910, 3765,
           WS_OVERLAPPED | WS_CAPTION | WS_SYSMENU | WS_MINIMIZEBOX);
}

}  // namespace distribution
