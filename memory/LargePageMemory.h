#pragma once

#include <cstddef>
#include <memory_resource>

namespace tracklens {

// Memory for a file's bytes and for the texts of a listing. Blocks of 2 MiB or more are asked
// to be backed by the kernel's transparent huge pages: a file of a hundred megabytes then costs
// a few dozen page faults instead of tens of thousands. It keeps no state, so one instance
// serves every thread.
class LargePageMemory final : public std::pmr::memory_resource {
public:
    static LargePageMemory& instance();

private:
    void* do_allocate(std::size_t bytes, std::size_t alignment) override;
    void do_deallocate(void* pointer, std::size_t bytes, std::size_t alignment) override;
    bool do_is_equal(const std::pmr::memory_resource& other) const noexcept override;
};

} // namespace tracklens
