#include "base/Limits.h"

namespace mayahost {

Limits& limits() {
    static Limits current;
    return current;
}

}  // namespace mayahost
