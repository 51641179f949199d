#pragma once

#include <QElapsedTimer>
#include <QObject>
#include <functional>

namespace tracklens::ui {

// Runs a long job on the window's thread a slice at a time, handing the event loop back between
// slices so that the window paints and takes keys meanwhile (Esc cancels). A slice works until
// its time is up and says whether the job is done.
class SliceRunner final : public QObject {
    Q_OBJECT

public:
    // A slice should give the event loop back after this long.
    static constexpr qint64 kSliceMs = 25;

    using Slice = std::function<bool()>;

    explicit SliceRunner(QObject* parent = nullptr);

    // Cancels the job under way, if any, and starts this one.
    void start(Slice slice);
    void cancel();
    bool running() const { return static_cast<bool>(slice_); }
    // Runs the rest of the job here and now.
    void finish();

    // Whether the slice under way has had its time.
    bool sliceIsUp() const { return clock_.hasExpired(kSliceMs); }

signals:
    void ended(bool cancelled);

private:
    void runSlice();

    Slice slice_;
    QElapsedTimer clock_;
    unsigned generation_ = 0; // the job a queued slice belongs to
};

} // namespace tracklens::ui
