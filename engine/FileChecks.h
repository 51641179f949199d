#pragma once

#include <cstddef>
#include <cstdint>
#include <vector>

#include "engine/Bytes.h"
#include "engine/ChannelChecks.h"
#include "engine/EventChecks.h"
#include "engine/Findings.h"
#include "engine/RowSink.h"
#include "engine/RunOutcome.h"

namespace tracklens {

// The checks of a file: a consumer of the rows of a walk that keeps going. It looks at the
// header's fields and the chunks itself and hands each event to the checks of events and of
// channels; what no row shows (bytes after End of Track, trailing bytes, a chunk running past the
// end) it tells from where the chunk rows say the chunks end.
class FileChecks final : public RowSink {
public:
    static constexpr bool kHasItsOwnWalk = true;

    explicit FileChecks(ByteSpan file);

    void AddRow(const Row& row, std::size_t, const WalkPoint&) override;

    // After the walk, with how it ended: the findings sorted by offset, then by code.
    std::vector<Finding> finish(const RunOutcome& outcome);

private:
    void checkHeaderRow(const Row& row);
    void startChunk(const Row& row);
    void checkChunkLength(const Row& row);
    void checkEvent(const Row& row);
    void endChunk();
    void add(const FindingPlace& place, FindingCode code, std::string message);

    ByteSpan file_;
    std::vector<Finding> findings_;
    EventChecks events_;
    ChannelChecks channels_;
    std::uint16_t format_ = 0;
    std::uint16_t declaredTracks_ = 0;
    std::uint32_t tracks_ = 0;    // MTrk chunks so far
    std::uint64_t nextChunk_ = 0; // where the chunk after the last one listed begins
    bool inTrack_ = false;
    std::uint64_t trackTag_ = 0;
    std::uint64_t bodyEnd_ = 0;       // the end of the track's body, or of the file before it
    bool endOfTrack_ = false;         // the track's first End of Track was listed
    std::uint64_t endOfTrackEnd_ = 0; // and its bytes end here
    bool dataAfterEnd_ = false;       // bytes after it were reported
};

// The findings of a file and how its walk ended (Complete unless a failure of memory or range
// ended it, or it is no Standard MIDI File or its header is too short, which are findings too).
struct CheckResult {
    std::vector<Finding> findings;
    RunOutcome outcome;
};

CheckResult CheckFile(ByteSpan file);

} // namespace tracklens
