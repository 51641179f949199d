#pragma once

#include "engine/TextEncoding.h"

namespace tracklens {

// UTF-8 and Shift-JIS as the C library's iconv reads them (UTF-8 by RFC 3629, Shift-JIS as
// code page 932, "CP932"), and the file's encoding as uchardet detects it. Safe to use from
// several threads at once.
const TextDecoders& SystemTextDecoders();

} // namespace tracklens
