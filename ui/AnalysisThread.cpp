#include "ui/AnalysisThread.h"

#include <QEventLoop>
#include <QThread>
#include <exception>
#include <memory>

namespace tracklens::ui {

namespace {

// Hands each operation over to the window's thread and waits until it is done there.
class WindowThreadView final : public AnalysisView {
public:
    WindowThreadView(QObject& window, AnalysisView& view)
        : window_(window)
        , view_(view)
    {
    }

    void PrepareListing(const ColumnWidths& widths) override
    {
        onWindowThread([&] { view_.PrepareListing(widths); });
    }
    void ShowHeaderRows(const EventTable& table) override
    {
        onWindowThread([&] { view_.ShowHeaderRows(table); });
    }
    void WriteListing(EventTable&& table) override
    {
        onWindowThread([&] { view_.WriteListing(std::move(table)); });
    }
    void ResetListing() override
    {
        onWindowThread([&] { view_.ResetListing(); });
    }
    void SetStatusText(std::string_view text) override
    {
        onWindowThread([&] { view_.SetStatusText(text); });
    }
    void SetCaption(std::string_view text) override
    {
        onWindowThread([&] { view_.SetCaption(text); });
    }
    void SetBusyCursor(bool busy) override
    {
        onWindowThread([&] { view_.SetBusyCursor(busy); });
    }
    void ShowMessage(std::string_view text, MessageIcon icon, std::string_view title) override
    {
        onWindowThread([&] { view_.ShowMessage(text, icon, title); });
    }
    void RunWaitWindow(const std::function<void()>& clearRows) override
    {
        onWindowThread([&] { view_.RunWaitWindow(clearRows); });
    }

private:
    template <typename Operation>
    void onWindowThread(Operation operation)
    {
        std::exception_ptr failure;
        QMetaObject::invokeMethod(
            &window_,
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

    QObject& window_;
    AnalysisView& view_;
};

} // namespace

void RunAnalysisOffThread(QObject& window, AnalysisView& view,
                          const std::function<void(AnalysisView&)>& run)
{
    WindowThreadView forwarded(window, view);
    std::exception_ptr failure;
    std::unique_ptr<QThread> thread(QThread::create([&] {
        try {
            run(forwarded);
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

} // namespace tracklens::ui
