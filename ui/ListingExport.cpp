#include "ui/ListingExport.h"

#include <ios>
#include <sys/stat.h>

#include "cli/OutputFile.h"
#include "ui/ListingModel.h"
#include "ui/SliceRunner.h"

namespace tracklens::ui {

namespace {

// Rows whose text is made at once, as tracklens-dump makes its batches.
constexpr std::size_t kRowsPerText = 4096;

QString FromUtf8(const std::string& text)
{
    return QString::fromUtf8(text.data(), static_cast<qsizetype>(text.size()));
}

} // namespace

std::optional<FileIdentity> IdentityOf(const std::filesystem::path& path)
{
    struct stat status {};
    if (::stat(path.c_str(), &status) != 0) {
        return std::nullopt;
    }
    return FileIdentity{static_cast<std::uint64_t>(status.st_dev),
                        static_cast<std::uint64_t>(status.st_ino)};
}

ListingExport::ListingExport(const ListingModel& listing, QObject* parent)
    : QObject(parent)
    , listing_(listing)
    , runner_(new SliceRunner(this))
{
    connect(runner_, &SliceRunner::ended, this, [this](bool cancelled) {
        if (cancelled && output_) {
            close(true, {});
        }
    });
    // The shown rows are read as the export goes: another filter ends it.
    connect(&listing_, &ListingModel::rowsChanged, this, [this] {
        if (output_ && shownRowsOnly_) {
            runner_->cancel();
        }
    });
}

ListingExport::~ListingExport() = default;

bool ListingExport::running() const
{
    return output_ != nullptr;
}

std::optional<QString> ListingExport::start(const std::filesystem::path& target,
                                            ListingFormat format, std::vector<Column> columns,
                                            bool shownRowsOnly,
                                            const std::optional<FileIdentity>& input)
{
    runner_->cancel();
    if (input) {
        if (const std::optional<OutputConflict> conflict = CheckOutputTarget(target, *input);
            conflict && conflict->kind == OutputConflict::Kind::IsTheInput) {
            return FromUtf8(conflict->message);
        }
    }
    auto output = std::make_unique<OutputFile>(target);
    if (output->refusal()) {
        return FromUtf8(*output->refusal());
    }
    output_ = std::move(output);
    format_ = format;
    columns_ = std::move(columns);
    shownRowsOnly_ = shownRowsOnly && listing_.filtered();
    next_ = 0;
    written_ = 0;
    total_ = shownRowsOnly_ ? listing_.rowCount() : listing_.tableRows();
    held_.clear();
    held_.reserve(kRowsPerText);
    direct_ = std::make_unique<DirectLines>(format_, columns_, listing_.table().cellContext(),
                                            output_->stream());
    try {
        text_.clear();
        AppendTitles(text_, format_, columns_);
        output_->stream().write(text_.view().data(), static_cast<std::streamsize>(text_.size()));
    } catch (const std::ios_base::failure&) {
        const QString failure = FromUtf8(output_->writeFailure());
        close(false, failure);
        return failure;
    }
    runner_->start([this] { return writeSlice(); });
    return std::nullopt;
}

void ListingExport::cancel()
{
    runner_->cancel();
}

void ListingExport::finish()
{
    runner_->finish();
}

int ListingExport::progressPerMille() const
{
    return total_ > 0 ? static_cast<int>(next_ * 1000 / total_) : 0;
}

// The text of the rows held, as tracklens-dump writes a batch.
void ListingExport::writeHeldRows()
{
    if (held_.empty()) {
        return;
    }
    text_.clear();
    AppendRows(text_, format_, listing_.table().content(), listing_.table().cellContext(), held_,
               columns_, written_ == 0);
    output_->stream().write(text_.view().data(), static_cast<std::streamsize>(text_.size()));
    written_ += static_cast<std::int64_t>(held_.size());
    held_.clear();
}

bool ListingExport::writeSlice()
{
    const EventTable& table = listing_.table();
    try {
        while (next_ < total_) {
            const std::int64_t tableRow =
                shownRowsOnly_ ? listing_.tableRowOf(static_cast<int>(next_)) : next_;
            const Row row = table.row(static_cast<std::size_t>(tableRow));
            ++next_;
            if (DirectLines::isLarge(row)) {
                writeHeldRows();
                direct_->write(table.content(), row, written_ == 0);
                ++written_;
            } else {
                held_.push_back(row);
            }
            if (held_.size() >= kRowsPerText) {
                writeHeldRows();
                if (runner_->sliceIsUp()) {
                    emit progressed(progressPerMille());
                    return false;
                }
            }
        }
        writeHeldRows();
        text_.clear();
        AppendEnd(text_, format_, RunOutcome{}, static_cast<std::int32_t>(total_));
        output_->stream().write(text_.view().data(), static_cast<std::streamsize>(text_.size()));
    } catch (const std::ios_base::failure&) {
        close(false, FromUtf8(output_->writeFailure()));
        return true;
    }
    const std::optional<std::string> failure = output_->commit();
    close(false, failure ? FromUtf8(*failure) : QString());
    return true;
}

void ListingExport::close(bool cancelled, const QString& failure)
{
    direct_.reset();
    output_.reset(); // a temporary file not committed is removed
    held_.clear();
    emit ended(cancelled, failure);
}

} // namespace tracklens::ui
