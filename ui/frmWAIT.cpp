#include "ui/frmWAIT.h"

#include <QApplication>
#include <QGuiApplication>
#include <QLabel>
#include <QScreen>

#include "ui/Twips.h"

namespace tracklens::ui {

frmWAIT::frmWAIT(QWidget* parent)
    : QDialog(parent, Qt::Tool | Qt::WindowTitleHint | Qt::CustomizeWindowHint)
    , Label1_(new QLabel(QStringLiteral("Please Wait..."), this))
{
    setObjectName(QStringLiteral("frmWAIT"));
    setWindowTitle(QStringLiteral("Data Init"));
    const double dpi = logicalDpiX();
    setFixedSize(TwipsToPixels(4185, dpi), TwipsToPixels(870, dpi));
    Label1_->setObjectName(QStringLiteral("Label1"));
    Label1_->setAlignment(Qt::AlignCenter);
    Label1_->setGeometry(TwipsToPixels(270, dpi), TwipsToPixels(270, dpi), TwipsToPixels(3660, dpi),
                         TwipsToPixels(285, dpi));
}

void frmWAIT::Form_Load(const std::function<void()>& clearRows)
{
    if (const QScreen* screen = QGuiApplication::primaryScreen()) {
        move(screen->availableGeometry().center() - rect().center());
    }
    show();
    repaint();
    // Let the window system map and draw it, but take no input meanwhile.
    QApplication::processEvents(QEventLoop::ExcludeUserInputEvents);
    clearRows();
    close();
}

} // namespace tracklens::ui
