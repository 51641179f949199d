#include "memory/LargePageMemory.h"

#include <array>
#include <chrono>
#include <cstdlib>
#include <new>
#include <stop_token>
#include <sys/mman.h>
#include <system_error>
#include <thread>

namespace tracklens {

namespace {

constexpr std::size_t kLargePage = std::size_t{2} << 20;
// Blocks from this size on have their pages asked for ahead of what fills them.
constexpr std::size_t kPagedAheadFrom = std::size_t{64} << 20;

bool IsLarge(std::size_t bytes)
{
    return bytes >= kLargePage;
}

std::size_t RoundedToLargePages(std::size_t bytes)
{
    return (bytes + kLargePage - 1) / kLargePage * kLargePage;
}

// Whether the first small page of a large page is in memory: the read has reached it.
bool Reached(char* page)
{
    std::array<unsigned char, 1> resident{};
    return mincore(page, 1, resident.data()) == 0 && (resident[0] & 1u) != 0;
}

// The read fills a large page in a few milliseconds; when it has not reached the next one for
// this long, it has ended, and the helper ends too rather than wake up for nothing.
constexpr auto kLongestWait = std::chrono::milliseconds(250);
constexpr auto kPoll = std::chrono::microseconds(100);

bool WaitUntilReached(const std::stop_token& stop, char* page)
{
    const auto giveUp = std::chrono::steady_clock::now() + kLongestWait;
    while (!Reached(page)) {
        if (stop.stop_requested() || std::chrono::steady_clock::now() > giveUp) {
            return false;
        }
        std::this_thread::sleep_for(kPoll);
    }
    return true;
}

} // namespace

// Pages the block's odd large pages in, each once the read has reached the page before it:
// the read clears the even ones itself, and finds the odd ones ready.
class LargePageMemory::PageAhead {
public:
    PageAhead(char* block, std::size_t size)
        : thread_([block, size](const std::stop_token& stop) { Run(stop, block, size); })
    {
    }

private:
    static void Run(const std::stop_token& stop, char* block, std::size_t size)
    {
#ifdef MADV_POPULATE_WRITE
        for (std::size_t page = kLargePage; page < size && !stop.stop_requested();
             page += 2 * kLargePage) {
            if (!WaitUntilReached(stop, block + page - kLargePage)) {
                return;
            }
            // Without the kernel's support this fails at once and the read clears every page.
            if (madvise(block + page, kLargePage, MADV_POPULATE_WRITE) != 0) {
                return;
            }
        }
#else
        (void)stop;
        (void)block;
        (void)size;
#endif
    }

    std::jthread thread_;
};

LargePageMemory& LargePageMemory::instance()
{
    static LargePageMemory memory;
    return memory;
}

LargePageMemory::LargePageMemory() = default;
LargePageMemory::~LargePageMemory() = default;

void* LargePageMemory::do_allocate(std::size_t bytes, std::size_t alignment)
{
    if (!IsLarge(bytes)) {
        return ::operator new (bytes, std::align_val_t{alignment});
    }
    const std::size_t size = RoundedToLargePages(bytes);
    void* pointer = std::aligned_alloc(kLargePage, size);
    if (pointer == nullptr) {
        throw std::bad_alloc();
    }
#ifdef MADV_HUGEPAGE
    // Only a hint: without transparent huge pages the memory is simply in small pages.
    madvise(pointer, size, MADV_HUGEPAGE);
#endif
    if (size >= kPagedAheadFrom) {
        try {
            auto ahead = std::make_unique<PageAhead>(static_cast<char*>(pointer), size);
            const std::lock_guard lock(mutex_);
            pagesAhead_.emplace(pointer, std::move(ahead));
        } catch (const std::system_error&) {
            // No thread to be had: the read clears every page itself.
        } catch (...) {
            std::free(pointer);
            throw;
        }
    }
    return pointer;
}

void LargePageMemory::do_deallocate(void* pointer, std::size_t bytes, std::size_t alignment)
{
    if (!IsLarge(bytes)) {
        ::operator delete (pointer, std::align_val_t{alignment});
        return;
    }
    std::unique_ptr<PageAhead> ahead;
    {
        const std::lock_guard lock(mutex_);
        if (const auto found = pagesAhead_.find(pointer); found != pagesAhead_.end()) {
            ahead = std::move(found->second);
            pagesAhead_.erase(found);
        }
    }
    ahead.reset(); // stops and joins the helper before its block goes
    std::free(pointer);
}

bool LargePageMemory::do_is_equal(const std::pmr::memory_resource& other) const noexcept
{
    return this == &other;
}

} // namespace tracklens
