#pragma once

#include <QString>
#include <QWidget>

#include "engine/AnalysisView.h"
#include "engine/ColumnWidths.h"
#include "engine/EventWalk.h"

class QAction;
class QLabel;
class QLineEdit;
class QProgressBar;
class QPushButton;
class QTimer;

namespace tracklens::ui {

class GridTools;
class ListingGrid;
class Platform;
class frmPROBLEMS;

// The main window: the file name, the five commands, the listing grid and the status line.
// It is also the view an analysis run drives.
class frmMAIN final : public QWidget, private AnalysisView {
    Q_OBJECT

public:
    explicit frmMAIN(Platform& platform, QWidget* parent = nullptr);

    // Start-up, before the window is first shown. False when the installation folder cannot be
    // found: the message has been shown and the program is to end.
    bool Form_Load();

    // Names a file and analyses it: from the command line or a drop on the window.
    void openFile(const QString& path);
    // The same, once the window has been shown and painted.
    void openFileWhenShown(const QString& path);

    const QString& installDir() const { return InstallDir_; }
    const QString& browseDir() const { return BrowseDir_; }
    const ColumnWidths& columnWidths() const { return ColumnWidths_; }
    // Find, filter, go to, the bytes window and the export, with the grid's right-click menu.
    GridTools& tools() { return *tools_; }

    // The two commands of the diagnostics, with their shortcuts, for the window's menus:
    // "Problems..." (F8) and "Analysis, keep going" (Ctrl+Shift+A).
    QAction* problemsAction() const { return actionProblems_; }
    QAction* keepGoingAction() const { return actionKeepGoing_; }
    // The Problems window, once it has been opened.
    frmPROBLEMS* problemsWindow() const { return problems_; }

public slots:
    void cmdANALISI_Click();
    // Lists the named file past its problems: problem rows in red, no message box, the status
    // label saying how many problems were found.
    void analyseKeepingGoing();
    // Opens the Problems window with the findings of the file last analysed.
    void showProblems();
    void cmdSFOGLIA_Click();
    void cmdABOUT_Click();
    void cmdHELP_Click();
    void cmdQUIT_Click();

protected:
    void resizeEvent(QResizeEvent* event) override;
    bool event(QEvent* event) override;
    void dragEnterEvent(QDragEnterEvent* event) override;
    void dropEvent(QDropEvent* event) override;
    void closeEvent(QCloseEvent* event) override;

private:
    void createControls();
    void InitTables();
    void setUpGrid();
    void fitOnScreen();
    void showRunProgress(bool shown);
    void placeRunProgress();
    void refuseCopy(std::int64_t rows);
    void addGridMenuEntries();
    void Form_Resize();
    void Form_Activate();
    void txIN_Change(const QString& text);
    void showInformation(const QString& text);
    void runAnalysis(WalkMode mode);
    void readAndDecode(const QString& name, WalkMode mode);
    void showFindingRow(std::uint64_t offset);
    int twips(int value) const;

    // What an analysis run drives.
    void PrepareListing(const ColumnWidths& widths) override;
    void ShowHeaderRows(const EventTable& table) override;
    void WriteListing(EventTable&& table) override;
    void ResetListing() override;
    void setStatusText(std::string_view text) override;
    void setCaption(std::string_view text) override;
    void setBusyCursor(bool busy) override;
    void showMessage(std::string_view text, MessageIcon icon, std::string_view title) override;
    void runWaitWindow(const std::function<void()>& clearRows) override;

    Platform& platform_;
    QString InstallDir_;
    QString BrowseDir_;
    ColumnWidths ColumnWidths_{};
    bool busyCursor_ = false;
    bool analysing_ = false;
    bool closeAfterRun_ = false;
    bool painted_ = false;
    QString openWhenShown_;
    QString lastAnalysed_; // the file the last analysis read
    QSize fittedSize_;

    QLabel* lblIN_;
    QLineEdit* txIN_;
    QPushButton* cmdSFOGLIA_;
    QPushButton* cmdANALISI_;
    QPushButton* cmdABOUT_;
    QPushButton* cmdHELP_;
    QPushButton* cmdQUIT_;
    ListingGrid* GRID_;
    QLabel* lblStato_;
    // A thin bar over the grid's bottom edge while a run takes longer than a moment.
    QProgressBar* runProgress_;
    QTimer* runProgressDelay_;
    QAction* actionProblems_;
    QAction* actionKeepGoing_;
    frmPROBLEMS* problems_ = nullptr;
    GridTools* tools_;
};

} // namespace tracklens::ui
