#include "app/shell.h"

namespace vl {

ProfileIo DefaultProfileIo() {
    return {};
}

} // namespace vl
