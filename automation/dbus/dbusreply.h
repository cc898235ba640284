#pragma once
// The values of a reply from a registered server: a variant of ours (q vt, v value), or a
// plain number, text or boolean that counts by its own type. A plain byte is a number; only
// a variant's VT_UI1 stands for an error.

#include "platform/com/variant.h"

#include <QVariant>

namespace vl {

// False for a value of another shape.
bool ReplyValueToVariant(const QVariant& value, CVariant& out);

} // namespace vl
