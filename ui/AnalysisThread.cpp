#include "ui/AnalysisThread.h"

#include <QEventLoop>
#include <QThread>
#include <exception>
#include <memory>

namespace tracklens::ui {

void RunOffWindowThread(const std::function<void()>& work)
{
    std::exception_ptr failure;
    const std::unique_ptr<QThread> thread(QThread::create([&] {
        try {
            work();
        } catch (...) {
            failure = std::current_exception();
        }
    }));
    QEventLoop loop;
    QObject::connect(thread.get(), &QThread::finished, &loop, &QEventLoop::quit);
    thread->start();
    loop.exec(QEventLoop::ExcludeUserInputEvents);
    thread->wait();
    if (failure) {
        std::rethrow_exception(failure);
    }
}

void OnWindowThread(QObject& window, const std::function<void()>& operation)
{
    std::exception_ptr failure;
    QMetaObject::invokeMethod(
        &window,
        [&] {
            try {
                operation();
            } catch (...) {
                failure = std::current_exception();
            }
        },
        Qt::BlockingQueuedConnection);
    if (failure) {
        std::rethrow_exception(failure);
    }
}

void WindowThreadView::PrepareListing(const ColumnWidths& widths)
{
    OnWindowThread(window_, [&] { view_.PrepareListing(widths); });
}

void WindowThreadView::ShowHeaderRows(const EventTable& table)
{
    OnWindowThread(window_, [&] { view_.ShowHeaderRows(table); });
}

void WindowThreadView::WriteListing(EventTable&& table)
{
    OnWindowThread(window_, [&] { view_.WriteListing(std::move(table)); });
}

void WindowThreadView::ResetListing()
{
    OnWindowThread(window_, [&] { view_.ResetListing(); });
}

void WindowThreadView::setStatusText(std::string_view text)
{
    OnWindowThread(window_, [&] { view_.setStatusText(text); });
}

void WindowThreadView::setCaption(std::string_view text)
{
    OnWindowThread(window_, [&] { view_.setCaption(text); });
}

void WindowThreadView::setBusyCursor(bool busy)
{
    OnWindowThread(window_, [&] { view_.setBusyCursor(busy); });
}

void WindowThreadView::showMessage(std::string_view text, MessageIcon icon, std::string_view title)
{
    OnWindowThread(window_, [&] { view_.showMessage(text, icon, title); });
}

void WindowThreadView::runWaitWindow(const std::function<void()>& clearRows)
{
    OnWindowThread(window_, [&] { view_.runWaitWindow(clearRows); });
}

} // namespace tracklens::ui
