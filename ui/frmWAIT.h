#pragma once

#include <QDialog>
#include <functional>

class QLabel;

namespace tracklens::ui {

// The small "Data Init" window that says "Please Wait..." while a run gives up its rows.
class frmWAIT final : public QDialog {
    Q_OBJECT

public:
    explicit frmWAIT(QWidget* parent = nullptr);

    // Shows the window and paints it, runs the work, and closes the window again.
    void Form_Load(const std::function<void()>& clearRows);

private:
    QLabel* Label1_;
};

} // namespace tracklens::ui
