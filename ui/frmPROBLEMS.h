#pragma once

#include <QWidget>
#include <cstdint>
#include <vector>

#include "engine/Findings.h"

class QLabel;
class QTableWidget;

namespace tracklens::ui {

// The non-modal "Problems" window: the findings of the checks of the file last analysed, in the
// columns tracklens-dump --check writes, coloured by severity, with a count per severity.
// Activating a finding asks for its row in the main grid.
class frmPROBLEMS final : public QWidget {
    Q_OBJECT

public:
    explicit frmPROBLEMS(QWidget* parent = nullptr);

    // The findings of the named file, in their order.
    void showFindings(const QString& fileName, std::vector<Finding> findings);

    int findingCount() const { return static_cast<int>(findings_.size()); }
    QString countsText() const;
    QTableWidget* table() const { return table_; }

signals:
    // A finding was activated (double click or Enter): the offset of its row in the file.
    void findingActivated(std::uint64_t offset);

private:
    QLabel* counts_;
    QTableWidget* table_;
    std::vector<Finding> findings_;
};

} // namespace tracklens::ui
