#include "ui/SliceRunner.h"

#include <QTimer>
#include <utility>

namespace tracklens::ui {

SliceRunner::SliceRunner(QObject* parent)
    : QObject(parent)
{
}

void SliceRunner::start(Slice slice)
{
    cancel();
    slice_ = std::move(slice);
    const unsigned job = ++generation_;
    QTimer::singleShot(0, this, [this, job] {
        if (job == generation_) {
            runSlice();
        }
    });
}

void SliceRunner::cancel()
{
    if (!slice_) {
        return;
    }
    slice_ = nullptr;
    ++generation_;
    emit ended(true);
}

void SliceRunner::finish()
{
    while (slice_) {
        clock_.start();
        if (slice_()) {
            slice_ = nullptr;
            ++generation_;
            emit ended(false);
        }
    }
}

void SliceRunner::runSlice()
{
    if (!slice_) {
        return;
    }
    clock_.start();
    // The slice may start another job or cancel this one: it is kept until it returns.
    const Slice slice = slice_;
    const unsigned job = generation_;
    const bool done = slice();
    if (job != generation_) {
        return;
    }
    if (done) {
        slice_ = nullptr;
        ++generation_;
        emit ended(false);
        return;
    }
    QTimer::singleShot(0, this, [this, job] {
        if (job == generation_) {
            runSlice();
        }
    });
}

} // namespace tracklens::ui
