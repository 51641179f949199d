#pragma once

#include "engine/Row.h"

namespace tracklens {

// Receives each row of the listing as the walk finds it.
class RowSink {
public:
    virtual ~RowSink() = default;
    virtual void AddRow(const Row& row) = 0;

protected:
    RowSink() = default;
    RowSink(const RowSink&) = default;
    RowSink& operator=(const RowSink&) = default;
};

} // namespace tracklens
