#pragma once

#include <memory_resource>

namespace tracklens::ui {

// Memory for the rows of a listing. Blocks of 2 MiB or more are asked to be backed by the
// kernel's transparent huge pages: a listing of tens of millions of rows then costs a few
// hundred page faults instead of hundreds of thousands. It keeps no state.
class LargePageMemory final : public std::pmr::memory_resource {
public:
    static LargePageMemory& instance();

private:
    void* do_allocate(std::size_t bytes, std::size_t alignment) override;
    void do_deallocate(void* pointer, std::size_t bytes, std::size_t alignment) override;
    bool do_is_equal(const std::pmr::memory_resource& other) const noexcept override;
};

} // namespace tracklens::ui
