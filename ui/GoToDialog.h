#pragma once

#include <QDialog>
#include <functional>
#include <optional>

#include "ui/GoToTarget.h"

class QComboBox;
class QLabel;
class QLineEdit;

namespace tracklens::ui {

// Go to a row by its number, an Abs Tick, a Time, a Bar or an Offset. Input it cannot take is
// said in the dialog, which stays open.
class GoToDialog final : public QDialog {
    Q_OBJECT

public:
    // Goes to a target; why it cannot, or nothing once there.
    using Go = std::function<std::optional<QString>(const GoToTarget&)>;

    GoToDialog(Go go, QWidget* parent);

    void choose(GoToForm form, const QString& text);
    // Goes to what the fields say; true when it went there (the dialog then closes).
    bool go();
    QString error() const;

private:
    Go go_;
    QComboBox* form_;
    QLineEdit* text_;
    QLabel* error_;
};

} // namespace tracklens::ui
