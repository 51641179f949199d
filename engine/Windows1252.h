#pragma once

#include <string>

#include "engine/Bytes.h"

namespace tracklens {

// Text bytes of a file read as Windows-1252, one character per byte, appended as UTF-8. The five
// bytes the code page leaves undefined become the C1 control characters of the same value.
void AppendWindows1252(std::string& out, ByteSpan bytes);

} // namespace tracklens
