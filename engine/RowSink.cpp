#include "engine/RowSink.h"

#include "engine/EventWalkSteps.h"

namespace tracklens {

template class BasicEventWalk<RowSink>;
template class BasicEventWalk<RowCollector>;

} // namespace tracklens
