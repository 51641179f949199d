// A window that never looks frozen: a file named at start is analysed once the window has been
// painted, the window handles its events while the file is walked, and a close asked for
// during a run closes the window when the run is over.

#include <QApplication>
#include <QProgressBar>
#include <functional>

#include "FakePlatform.h"

namespace tracklens::desktop_testing {
namespace {

// A file of one track of notes under running status: notes + 8 rows.
Bytes Notes(std::size_t notes)
{
    Bytes body = {0x00, 0x90, 0x3C, 0x40};
    for (std::size_t note = 1; note < notes; ++note) {
        body.insert(body.end(), {0x00, 0x3C, static_cast<std::uint8_t>(note % 100)});
    }
    body.insert(body.end(), {0x00, 0xFF, 0x2F, 0x00});
    const auto length = static_cast<std::uint32_t>(body.size());
    Bytes file = {0x4D, 0x54, 0x68, 0x64, 0, 0, 0, 6, 0, 0, 0, 1, 0, 0x60, 0x4D, 0x54, 0x72, 0x6B};
    for (const int shift : {24, 16, 8, 0}) {
        file.push_back(static_cast<std::uint8_t>(length >> shift));
    }
    file.insert(file.end(), body.begin(), body.end());
    return file;
}

// Runs an action, once, the first time a watched widget is painted showing a given text,
// or painted at all when the text is empty.
class OnPaint final : public QObject {
public:
    OnPaint(QWidget* watched, QString text, std::function<void()> action)
        : watched_(watched)
        , text_(std::move(text))
        , action_(std::move(action))
    {
        watched_->installEventFilter(this);
    }

    bool done = false;

protected:
    bool eventFilter(QObject* object, QEvent* event) override
    {
        if (!done && object == watched_ && event->type() == QEvent::Paint) {
            const auto* label = qobject_cast<QLabel*>(watched_);
            if (text_.isEmpty() || (label != nullptr && label->text() == text_)) {
                done = true;
                action_();
            }
        }
        return false;
    }

private:
    QWidget* watched_;
    QString text_;
    std::function<void()> action_;
};

class ResponsiveWindowTest : public WindowTest {
protected:
    QString writeFile(const Bytes& bytes)
    {
        const QString path = inDir(QStringLiteral("notes.mid"));
        WriteBytes(path, bytes);
        return path;
    }
};

TEST_F(ResponsiveWindowTest, AFileNamedAtStartIsAnalysedOnceTheWindowIsPainted)
{
    const QString path = writeFile(Notes(1000));
    window_ = std::make_unique<ui::frmMAIN>(platform_);
    ASSERT_TRUE(window_->Form_Load());
    window_->openFileWhenShown(path);
    QString titleWhenPainted;
    int headerRowsWhenPainted = -1;
    OnPaint firstPaint(window_.get(), QString(), [&] {
        titleWhenPainted = window_->windowTitle();
        headerRowsWhenPainted = listing().fixedRows();
    });
    window_->show();
    for (int turn = 0; turn < 100 && listing().fixedRows() == 0; ++turn) {
        QApplication::processEvents();
    }
    ASSERT_TRUE(firstPaint.done);
    EXPECT_EQ(headerRowsWhenPainted, 0);
    EXPECT_FALSE(titleWhenPainted.endsWith(QStringLiteral("events)")))
        << titleWhenPainted.toStdString();
    EXPECT_EQ(listing().fixedRows(), 1);
    EXPECT_EQ(window_->windowTitle(), QStringLiteral("Tracklens (1008 events)"));
    EXPECT_EQ(txIN()->text(), path);
}

TEST_F(ResponsiveWindowTest, TheWindowHandlesItsEventsWhileTheFileIsWalked)
{
    ASSERT_TRUE(load());
    txIN()->setText(writeFile(Notes(300'000)));
    const QSize before = window_->size();
    QString statusWhenHandled;
    QSize sizeWhenHandled;
    // Asked for as the walk begins; handled by the window's thread while it goes on.
    OnPaint walkBegins(lblStato(), QStringLiteral("Track Read. Please Wait..."), [&] {
        QMetaObject::invokeMethod(
            window_.get(),
            [&] {
                window_->resize(before - QSize(10, 10));
                statusWhenHandled = lblStato()->text();
                sizeWhenHandled = window_->size();
            },
            Qt::QueuedConnection);
    });
    click("cmdANALISI");
    ASSERT_TRUE(walkBegins.done);
    EXPECT_EQ(statusWhenHandled, QStringLiteral("Track Read. Please Wait..."));
    EXPECT_EQ(sizeWhenHandled, before - QSize(10, 10));
    EXPECT_EQ(window_->windowTitle(), QStringLiteral("Tracklens (300008 events)"));
    EXPECT_TRUE(window_->findChild<QProgressBar*>(QStringLiteral("runProgress"))->isHidden());
    EXPECT_EQ(QApplication::overrideCursor(), nullptr);
}

TEST_F(ResponsiveWindowTest, ClosingDuringARunClosesTheWindowWhenTheRunIsOver)
{
    ASSERT_TRUE(load());
    txIN()->setText(writeFile(Notes(300'000)));
    bool visibleAfterClose = false;
    OnPaint walkBegins(lblStato(), QStringLiteral("Track Read. Please Wait..."), [&] {
        QMetaObject::invokeMethod(
            window_.get(),
            [&] {
                window_->close();
                visibleAfterClose = window_->isVisible();
            },
            Qt::QueuedConnection);
    });
    click("cmdANALISI");
    ASSERT_TRUE(walkBegins.done);
    EXPECT_TRUE(visibleAfterClose);
    EXPECT_FALSE(window_->isVisible());
    EXPECT_EQ(window_->windowTitle(), QStringLiteral("Tracklens (300008 events)"));
}

} // namespace
} // namespace tracklens::desktop_testing
