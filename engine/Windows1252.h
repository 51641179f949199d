#pragma once

#include <string>

#include <cstddef>

#include "engine/Bytes.h"
#include "engine/TextCursor.h"

namespace tracklens {

// Text bytes of a file read as Windows-1252, one character per byte, appended as UTF-8. The five
// bytes the code page leaves undefined become the C1 control characters of the same value. A
// byte takes at most kLongestWindows1252 characters.
inline constexpr std::size_t kLongestWindows1252 = 3;

void AppendWindows1252(TextCursor& out, ByteSpan bytes);

} // namespace tracklens
