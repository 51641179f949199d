#pragma once

#include <QObject>
#include <QString>
#include <cstdint>
#include <filesystem>
#include <memory>
#include <optional>
#include <vector>

#include "cli/ListingFormat.h"
#include "cli/ListingText.h"
#include "engine/FileLoader.h"

namespace tracklens {
class OutputFile;
}

namespace tracklens::ui {

class ListingModel;
class SliceRunner;

// Which file a path leads to now, or nothing when it cannot be looked at.
std::optional<FileIdentity> IdentityOf(const std::filesystem::path& path);

// Writes the listing to a file in one of tracklens-dump's formats, byte for byte what
// tracklens-dump writes for the same columns, through the same writers of the listing: every
// row, or the rows a filter shows. A slice at a time, into a temporary file beside the target
// that takes the target's name only at the end, so that a cancel or a failure leaves an older
// file as it was. The file being listed is never a target.
class ListingExport final : public QObject {
    Q_OBJECT

public:
    explicit ListingExport(const ListingModel& listing, QObject* parent = nullptr);
    ~ListingExport() override;

    // Starts writing; why it cannot, in one line, or nothing. input is the file being listed.
    std::optional<QString> start(const std::filesystem::path& target, ListingFormat format,
                                 std::vector<Column> columns, bool shownRowsOnly,
                                 const std::optional<FileIdentity>& input);
    void cancel();
    bool running() const;
    // Runs what is left here and now.
    void finish();
    // Rows written of those to write, for a progress bar.
    int progressPerMille() const;

signals:
    void progressed(int perMille);
    // The export ended: written whole (failure empty, not cancelled), failed or cancelled.
    void ended(bool cancelled, const QString& failure);

private:
    bool writeSlice();
    void writeHeldRows();
    void close(bool cancelled, const QString& failure);

    const ListingModel& listing_;
    SliceRunner* runner_;
    std::unique_ptr<OutputFile> output_;
    std::unique_ptr<DirectLines> direct_;
    ListingFormat format_ = ListingFormat::Tsv;
    std::vector<Column> columns_;
    bool shownRowsOnly_ = false;
    std::int64_t next_ = 0;    // the next row to look at
    std::int64_t written_ = 0; // rows whose lines are written
    std::int64_t total_ = 0;
    std::vector<Row> held_;
    ListingText text_;
};

} // namespace tracklens::ui
