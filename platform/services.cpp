// The program's services are the system's own: nothing stands in for the person, the disk,
// the print system or the screen.

#include "platform/internal/services_p.h"

namespace platform::detail {

Services& services()
{
    static SystemServices system;
    return system;
}

} // namespace platform::detail
