#pragma once

#include <cstddef>
#include <map>
#include <memory>
#include <memory_resource>
#include <mutex>

namespace tracklens {

// Memory for a file's bytes and for the texts of a listing. Blocks of 2 MiB or more are asked
// to be backed by the kernel's transparent huge pages: a file of a hundred megabytes then costs
// a few dozen page faults instead of tens of thousands.
//
// The kernel must still clear every new page, which costs more than the read of the file into
// it. For the largest blocks, a helper thread asks for each next page while the read is still
// filling the one before, so that the clearing is shared with the machine's other core; it
// stays one page ahead of what was written, so it adds next to nothing to the memory.
class LargePageMemory final : public std::pmr::memory_resource {
public:
    static LargePageMemory& instance();

    LargePageMemory();
    ~LargePageMemory() override;
    LargePageMemory(const LargePageMemory&) = delete;
    LargePageMemory& operator=(const LargePageMemory&) = delete;

private:
    class PageAhead;

    void* do_allocate(std::size_t bytes, std::size_t alignment) override;
    void do_deallocate(void* pointer, std::size_t bytes, std::size_t alignment) override;
    bool do_is_equal(const std::pmr::memory_resource& other) const noexcept override;

    std::mutex mutex_;
    std::map<void*, std::unique_ptr<PageAhead>> pagesAhead_;
};

} // namespace tracklens
