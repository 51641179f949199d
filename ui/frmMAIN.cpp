#include "ui/frmMAIN.h"

#include <QAction>
#include <QApplication>
#include <QCloseEvent>
#include <QDragEnterEvent>
#include <QDropEvent>
#include <QGuiApplication>
#include <QHeaderView>
#include <QLabel>
#include <QLineEdit>
#include <QMenu>
#include <QMimeData>
#include <QPaintEvent>
#include <QProgressBar>
#include <QPushButton>
#include <QScopedValueRollback>
#include <QScreen>
#include <QTimer>
#include <QUrl>
#include <limits>
#include <utility>

#include "engine/DecodeFile.h"
#include "engine/FileChecks.h"
#include "engine/FileLoader.h"
#include "memory/LargePageMemory.h"
#include "ui/AnalysisThread.h"
#include "ui/GridMenu.h"
#include "ui/GridTools.h"
#include "ui/ListingGrid.h"
#include "ui/PathServices.h"
#include "ui/TextEncodingMenu.h"
#include "ui/Twips.h"
#include "ui/frmPROBLEMS.h"
#include "ui/frmWAIT.h"
#include "ui/platform/Platform.h"

namespace tracklens::ui {

namespace {

const QString kTitle =
    QString::fromUtf8(kApplicationTitle.data(), static_cast<qsizetype>(kApplicationTitle.size()));

// A run that takes longer than this shows that it is under way.
constexpr int kRunProgressDelayMs = 330;

// Room for the window manager's frame, until the window has one to measure.
constexpr QSize kFrameAllowance(16, 48);

QFont FontOf(const QString& family, double points, bool bold = false)
{
    QFont font(family);
    font.setStyleHint(QFont::SansSerif);
    font.setPointSizeF(points);
    font.setBold(bold);
    return font;
}

std::filesystem::path LocalPath(const QString& path)
{
    return std::filesystem::path(PathOfName(path).toStdString());
}

QString FromUtf8(std::string_view text)
{
    return QString::fromUtf8(text.data(), static_cast<qsizetype>(text.size()));
}

} // namespace

frmMAIN::frmMAIN(Platform& platform, QWidget* parent)
    : QWidget(parent)
    , platform_(platform)
    , lblIN_(new QLabel(QStringLiteral("Midifile Name:"), this))
    , txIN_(new QLineEdit(QStringLiteral("Text1"), this))
    , cmdSFOGLIA_(new QPushButton(QStringLiteral("&Find"), this))
    , cmdANALISI_(new QPushButton(QStringLiteral("&Analysis"), this))
    , cmdABOUT_(new QPushButton(QStringLiteral("&Info"), this))
    , cmdHELP_(new QPushButton(QStringLiteral("&Help"), this))
    , cmdQUIT_(new QPushButton(QStringLiteral("&Quit"), this))
    , GRID_(new ListingGrid(this))
    , lblStato_(new QLabel(this))
    , runProgress_(new QProgressBar(this))
    , runProgressDelay_(new QTimer(this))
    , actionProblems_(new QAction(QStringLiteral("Problems\u2026"), this))
    , actionKeepGoing_(new QAction(QStringLiteral("Analysis, keep going"), this))
    , tools_(new GridTools(*GRID_, *this))
{
    setObjectName(QStringLiteral("frmMAIN"));
    createControls();
    setAcceptDrops(true);

    connect(txIN_, &QLineEdit::textChanged, this, &frmMAIN::txIN_Change);
    connect(cmdANALISI_, &QPushButton::clicked, this, &frmMAIN::cmdANALISI_Click);
    connect(cmdSFOGLIA_, &QPushButton::clicked, this, &frmMAIN::cmdSFOGLIA_Click);
    connect(cmdABOUT_, &QPushButton::clicked, this, &frmMAIN::cmdABOUT_Click);
    connect(cmdHELP_, &QPushButton::clicked, this, &frmMAIN::cmdHELP_Click);
    connect(cmdQUIT_, &QPushButton::clicked, this, &frmMAIN::cmdQUIT_Click);
    connect(GRID_, &ListingGrid::copyRefused, this, &frmMAIN::refuseCopy);
    connect(runProgressDelay_, &QTimer::timeout, this, [this] { showRunProgress(true); });

    actionProblems_->setObjectName(QStringLiteral("actionProblems"));
    actionProblems_->setShortcut(QKeySequence(Qt::Key_F8));
    actionKeepGoing_->setObjectName(QStringLiteral("actionKeepGoing"));
    actionKeepGoing_->setShortcut(QKeySequence(Qt::CTRL | Qt::SHIFT | Qt::Key_A));
    for (QAction* action : {actionProblems_, actionKeepGoing_}) {
        action->setShortcutContext(Qt::WindowShortcut);
        addAction(action);
    }
    connect(actionProblems_, &QAction::triggered, this, &frmMAIN::showProblems);
    connect(actionKeepGoing_, &QAction::triggered, this, &frmMAIN::analyseKeepingGoing);
    addGridMenuEntries();
}

// The commands of the window that the grid's right-click menu also holds.
void frmMAIN::addGridMenuEntries()
{
    GridMenu& menu = tools_->menu();
    menu.addEntries(MenuPlace::Columns, [this](QMenu& to) { GRID_->addColumnToggles(to); });
    menu.addEntries(MenuPlace::TextEncoding, [this](QMenu& to) {
        AddTextEncodingMenu(to, GRID_->listing().textEncoding(), [this](TextEncoding encoding) {
            GRID_->listing().setTextEncoding(encoding);
        });
    });
    menu.addEntries(MenuPlace::Diagnostics, [this](QMenu& to) {
        to.addAction(actionProblems_);
        to.addAction(actionKeepGoing_);
    });
}

int frmMAIN::twips(int value) const
{
    return TwipsToPixels(value, logicalDpiX());
}

void frmMAIN::createControls()
{
    resize(twips(15285), twips(10440));
    const QFont sansSerif = FontOf(QStringLiteral("MS Sans Serif"), 9.75);

    struct Placement {
        QWidget* control;
        const char* name;
        int left, top, width, height;
    };
    const Placement placements[] = {
        {lblIN_, "lblIN", 60, 90, 1305, 240},
        {txIN_, "txIN", 1530, 45, 7995, 330},
        {cmdSFOGLIA_, "cmdSFOGLIA", 9675, 45, 960, 330},
        {cmdANALISI_, "cmdANALISI", 10680, 45, 960, 330},
        {cmdABOUT_, "cmdABOUT", 11760, 45, 960, 330},
        {cmdHELP_, "cmdHELP", 12720, 45, 960, 330},
        {cmdQUIT_, "cmdQUIT", 13680, 45, 960, 330},
        {GRID_, "GRID", 60, 465, 13335, 9435},
        {lblStato_, "lblStato", 0, 10080, 14220, 240},
    };
    for (const Placement& p : placements) {
        p.control->setObjectName(QString::fromLatin1(p.name));
        p.control->setGeometry(twips(p.left), twips(p.top), twips(p.width), twips(p.height));
    }
    for (QWidget* control : {static_cast<QWidget*>(lblIN_), static_cast<QWidget*>(cmdSFOGLIA_),
                             static_cast<QWidget*>(cmdANALISI_), static_cast<QWidget*>(cmdABOUT_),
                             static_cast<QWidget*>(cmdHELP_), static_cast<QWidget*>(cmdQUIT_)}) {
        control->setFont(sansSerif);
    }

    // Each colour set here comes with its counterpart, so that these controls read alike in
    // light and dark styles; every other colour follows the palette.
    txIN_->setStyleSheet(
        QStringLiteral("QLineEdit { background-color: #FFFFFF; color: #000000; }"));
    txIN_->setAcceptDrops(false);
    cmdSFOGLIA_->setStyleSheet(
        QStringLiteral("QPushButton { background-color: #FFFFC0; color: #000000; }"));
    cmdANALISI_->setStyleSheet(
        QStringLiteral("QPushButton { background-color: #00FF00; color: #000000; }"));
    lblStato_->setAlignment(Qt::AlignCenter);
    lblStato_->setStyleSheet(QStringLiteral("QLabel { color: #FF0000; }"));

    GRID_->setFont(FontOf(QStringLiteral("Tahoma"), 9.75, true));
    GRID_->horizontalHeader()->setFont(FontOf(QStringLiteral("MS Sans Serif"), 8.25, true));

    runProgress_->setObjectName(QStringLiteral("runProgress"));
    runProgress_->setRange(0, 0);
    runProgress_->setTextVisible(false);
    runProgress_->setFocusPolicy(Qt::NoFocus);
    runProgress_->hide();
    runProgressDelay_->setSingleShot(true);
    runProgressDelay_->setInterval(kRunProgressDelayMs);

    // Keyboard focus order: Analysis, the name, Info, Find, Help, the grid, Quit.
    setTabOrder(cmdANALISI_, txIN_);
    setTabOrder(txIN_, cmdABOUT_);
    setTabOrder(cmdABOUT_, cmdSFOGLIA_);
    setTabOrder(cmdSFOGLIA_, cmdHELP_);
    setTabOrder(cmdHELP_, GRID_);
    setTabOrder(GRID_, cmdQUIT_);
}

bool frmMAIN::Form_Load()
{
    const std::optional<QString> installDir = ReadInstallDir(platform_);
    if (!installDir) {
        platform_.showMessage(
            nullptr, QStringLiteral("Applicazione NON TROVATA !\r\nReinstallare l'applicazione !"),
            MessageIcon::Critical, kTitle);
        return false;
    }
    InstallDir_ = *installDir;
    BrowseDir_ = InstallDir_;
    InitTables();

    txIN_->setText(BrowseDir_ + QStringLiteral("/TestRead.mid"));
    if (!FileExists(txIN_->text())) {
        txIN_->clear();
        setWindowTitle(kTitle);
    } else {
        setWindowTitle(FileTitle(txIN_->text()));
    }
    setUpGrid();
    fitOnScreen();
    return true;
}

// Never larger than the screen's free area, nor off it, whatever the scale: the window keeps
// its size where it fits and is centred on that area.
void frmMAIN::fitOnScreen()
{
    const QScreen* shownOn = screen() != nullptr ? screen() : QGuiApplication::primaryScreen();
    if (shownOn == nullptr) {
        return;
    }
    const QRect available = shownOn->availableGeometry();
    const QSize frame = isVisible() ? frameGeometry().size() - size() : kFrameAllowance;
    const QSize designed(twips(15285), twips(10440));
    const QSize room = (available.size() - frame).expandedTo(QSize(1, 1));
    resize(designed.boundedTo(room));
    fittedSize_ = size();
    const QSize outer = size() + frame;
    move(available.left() + std::max(0, (available.width() - outer.width()) / 2),
         available.top() + std::max(0, (available.height() - outer.height()) / 2));
}

void frmMAIN::InitTables()
{
    ColumnWidths_ = kInitialColumnWidths;
}

void frmMAIN::setUpGrid()
{
    // Silver around the cells, one empty row, no header row until a listing is shown.
    GRID_->setBackdropColour(QColor(0xC0, 0xC0, 0xC0));
    GRID_->setFixedRows(0);
    GRID_->setRows(1);
    for (int column = 0; column < static_cast<int>(kColumnCount); ++column) {
        GRID_->setColumnWidthTwips(column, ColumnWidths_[static_cast<std::size_t>(column)]);
    }
}

void frmMAIN::resizeEvent(QResizeEvent* event)
{
    QWidget::resizeEvent(event);
    Form_Resize();
}

void frmMAIN::Form_Resize()
{
    const int gridWidth = std::max(0, frameGeometry().width() - twips(250));
    GRID_->resize(gridWidth, GRID_->height());
    lblStato_->setGeometry(GRID_->x(), lblStato_->y(), gridWidth, lblStato_->height());
    placeRunProgress();
}

void frmMAIN::placeRunProgress()
{
    const int height = std::max(3, twips(60));
    runProgress_->setGeometry(GRID_->x(), GRID_->y() + GRID_->height() - height, GRID_->width(),
                              height);
}

void frmMAIN::showRunProgress(bool shown)
{
    if (shown) {
        placeRunProgress();
        runProgress_->raise();
        runProgress_->show();
    } else {
        runProgressDelay_->stop();
        runProgress_->hide();
    }
}

bool frmMAIN::event(QEvent* event)
{
    if (event->type() == QEvent::WindowActivate) {
        Form_Activate();
    }
    const bool handled = QWidget::event(event);
    if (event->type() == QEvent::Paint && !painted_) {
        painted_ = true;
        // Once on screen, with the frame the window manager gave it, unless resized since.
        QTimer::singleShot(0, this, [this] {
            if (size() == fittedSize_) {
                fitOnScreen();
            }
            if (!openWhenShown_.isEmpty()) {
                openFile(std::exchange(openWhenShown_, QString()));
            }
        });
    }
    return handled;
}

void frmMAIN::Form_Activate()
{
    txIN_->setFocus();
}

void frmMAIN::txIN_Change(const QString& text)
{
    if (text.size() > 1) {
        BrowseDir_ = DirPart(text);
    }
}

void frmMAIN::showInformation(const QString& text)
{
    platform_.showMessage(this, text, MessageIcon::Information, kTitle);
}

void frmMAIN::cmdANALISI_Click()
{
    runAnalysis(WalkMode::StopAtProblem);
}

void frmMAIN::analyseKeepingGoing()
{
    runAnalysis(WalkMode::KeepGoing);
}

void frmMAIN::runAnalysis(WalkMode mode)
{
    // The run repaints through the event loop; a second run must not start inside it.
    if (analysing_) {
        return;
    }
    const QString name = txIN_->text();
    if (name.isEmpty() || !FileExists(name)) {
        showInformation(QStringLiteral("Indicare un Nome di Midifile valido !"));
        return;
    }
    {
        const QScopedValueRollback running(analysing_, true);
        runProgressDelay_->start();
        RunOffWindowThread([this, &name, mode] { readAndDecode(name, mode); });
        showRunProgress(false);
    }
    if (std::exchange(closeAfterRun_, false)) {
        close();
    }
}

// On the run's thread: the read too may take seconds, and the window keeps painting meanwhile.
void frmMAIN::readAndDecode(const QString& name, WalkMode mode)
{
    // Read first: a file that exists but cannot be read changes nothing on screen.
    LoadedFile file = ReadWholeFile(LocalPath(name), &LargePageMemory::instance());
    bool readable = false;
    OnWindowThread(*this, [&] {
        if (!file.ok()) {
            platform_.showMessage(this,
                                  QStringLiteral("Il file non pu\u00F2 essere letto !\r\n") +
                                      FromUtf8(file.error),
                                  MessageIcon::Critical, kTitle);
            return;
        }
        for (int column = 0; column < static_cast<int>(kColumnCount); ++column) {
            ColumnWidths_[static_cast<std::size_t>(column)] = GRID_->columnWidthTwips(column);
        }
        lblStato_->clear();
        GRID_->setRows(1);
        setWindowTitle(kTitle);
        repaint();
        lastAnalysed_ = name;
        readable = true;
    });
    if (readable) {
        WindowThreadView view(*this, *this);
        DecodeFile(std::move(file.bytes), view, ColumnWidths_, mode);
        OnWindowThread(*this, [&] { tools_->setAnalysedFile(LocalPath(name)); });
    }
}

void frmMAIN::showProblems()
{
    if (analysing_) {
        return;
    }
    const QString name = lastAnalysed_.isEmpty() ? txIN_->text() : lastAnalysed_;
    if (name.isEmpty() || !FileExists(name)) {
        showInformation(QStringLiteral("Indicare un Nome di Midifile valido !"));
        return;
    }
    LoadedFile file;
    std::vector<Finding> findings;
    {
        const QScopedValueRollback running(analysing_, true);
        RunOffWindowThread([&] {
            file = ReadWholeFile(LocalPath(name), &LargePageMemory::instance());
            if (file.ok()) {
                findings = CheckFile(file.bytes.room()).findings;
            }
        });
    }
    if (!file.ok()) {
        platform_.showMessage(
            this, QStringLiteral("Il file non pu\u00F2 essere letto !\r\n") + FromUtf8(file.error),
            MessageIcon::Critical, kTitle);
        return;
    }
    if (problems_ == nullptr) {
        problems_ = new frmPROBLEMS(this);
        connect(problems_, &frmPROBLEMS::findingActivated, this, &frmMAIN::showFindingRow);
    }
    problems_->showFindings(NamePart(name), std::move(findings));
    problems_->show();
    problems_->raise();
    problems_->activateWindow();
}

// The row of the main grid that a finding is about, when the grid lists that file.
void frmMAIN::showFindingRow(std::uint64_t offset)
{
    const int row = GRID_->listing().dataRowAt(offset);
    if (row >= 0) {
        GRID_->setCurrentRow(row);
    }
}

void frmMAIN::cmdSFOGLIA_Click()
{
    const QString kept = txIN_->text();
    const QString chosen = platform_.chooseFile(
        this, QStringLiteral("Open"), kept,
        {QStringLiteral("Midifile (*.[mM][iI][dD])"), QStringLiteral("Tutti i file (*)")},
        BrowseDir_, QStringLiteral("mid"));
    txIN_->setText(chosen);
    if (txIN_->text().isEmpty()) {
        txIN_->setText(kept);
    } else if (FileExists(txIN_->text())) {
        setWindowTitle(FileTitle(txIN_->text()));
    } else {
        txIN_->setText(kept);
    }
    GRID_->setFixedRows(0);
    GRID_->setRows(1);
    GRID_->clearCells();
    lblStato_->clear();
}

void frmMAIN::cmdABOUT_Click()
{
    const QString text =
        QStringLiteral("\u00A9 2026 The Tracklens developers\r\nVer. %1")
            .arg(QString::fromUtf8(kVersion.data(), static_cast<qsizetype>(kVersion.size())));
    platform_.showAbout(this, kTitle, text, QApplication::windowIcon());
}

void frmMAIN::cmdHELP_Click()
{
    const QString help = InstallDir_ + QStringLiteral("/Help.txt");
    if (!FileExists(help) || !platform_.openDocument(help)) {
        platform_.showMessage(this, QStringLiteral("Help non disponibile !\r\n") + help,
                              MessageIcon::Exclamation, kTitle);
    }
}

void frmMAIN::cmdQUIT_Click()
{
    close();
}

void frmMAIN::openFileWhenShown(const QString& path)
{
    if (painted_) {
        QTimer::singleShot(0, this, [this, path] { openFile(path); });
    } else {
        openWhenShown_ = path;
    }
}

void frmMAIN::openFile(const QString& path)
{
    txIN_->setText(path);
    if (FileExists(path)) {
        setWindowTitle(FileTitle(path));
    }
    cmdANALISI_Click();
}

void frmMAIN::dragEnterEvent(QDragEnterEvent* event)
{
    const QList<QUrl> urls = event->mimeData()->urls();
    if (!urls.isEmpty() && urls.constFirst().isLocalFile()) {
        event->acceptProposedAction();
    }
}

void frmMAIN::dropEvent(QDropEvent* event)
{
    const QList<QUrl> urls = event->mimeData()->urls();
    if (!urls.isEmpty() && urls.constFirst().isLocalFile()) {
        event->acceptProposedAction();
        // After the drop has returned to the program it came from.
        QTimer::singleShot(0, this,
                           [this, path = NameOfLocalUrl(urls.constFirst())] { openFile(path); });
    }
}

void frmMAIN::closeEvent(QCloseEvent* event)
{
    // A run takes no input: the window closes when it is over.
    if (analysing_) {
        closeAfterRun_ = true;
        event->ignore();
        return;
    }
    QWidget::closeEvent(event);
}

void frmMAIN::refuseCopy(std::int64_t rows)
{
    platform_.showMessage(this,
                          QStringLiteral("Too many rows to copy: %1 rows are selected, at most %2 "
                                         "can be copied.")
                              .arg(rows)
                              .arg(ListingGrid::kMostRowsCopied),
                          MessageIcon::Exclamation, kTitle);
}

// What an analysis run drives.

void frmMAIN::PrepareListing(const ColumnWidths& widths)
{
    GRID_->clearCells();
    GRID_->setRows(1);
    for (int column = 0; column < static_cast<int>(kColumnCount); ++column) {
        GRID_->setColumnWidthTwips(column, widths[static_cast<std::size_t>(column)]);
        GRID_->listing().setColumnAlignment(column, Qt::AlignLeft | Qt::AlignVCenter);
    }
}

void frmMAIN::ShowHeaderRows(const EventTable& table)
{
    for (std::size_t row = 0; row < std::min<std::size_t>(5, table.size()); ++row) {
        ListingModel::RowTexts texts;
        for (std::size_t column = 0; column < kAllColumnCount; ++column) {
            texts[column] =
                QString::fromStdString(table.storedCellText(row, static_cast<Column>(column)));
        }
        GRID_->listing().appendRow(texts);
    }
    GRID_->setFixedRows(1);
    GRID_->setHeaderColours(Qt::white, Qt::red);
    ListingModel::RowTexts titles;
    for (std::size_t column = 0; column < kAllColumnCount; ++column) {
        titles[column] = FromUtf8(kColumnTitles[column]);
    }
    GRID_->listing().setTitles(titles);
}

void frmMAIN::WriteListing(EventTable&& table)
{
    // Grid row 0 is the header row; the count is kept to a size the view can show.
    GRID_->setRows(static_cast<int>(std::min<std::int64_t>(std::int64_t{table.rowCount()} + 1,
                                                           std::numeric_limits<int>::max())));
    GRID_->listing().adoptTable(std::move(table));
}

void frmMAIN::ResetListing()
{
    GRID_->clearCells();
    GRID_->setFixedRows(0);
    GRID_->setRows(1);
}

void frmMAIN::setStatusText(std::string_view text)
{
    lblStato_->setText(FromUtf8(text));
    lblStato_->repaint();
}

void frmMAIN::setCaption(std::string_view text)
{
    setWindowTitle(FromUtf8(text));
}

void frmMAIN::setBusyCursor(bool busy)
{
    if (busy && !busyCursor_) {
        QApplication::setOverrideCursor(Qt::WaitCursor);
    } else if (!busy && busyCursor_) {
        QApplication::restoreOverrideCursor();
    }
    busyCursor_ = busy;
}

void frmMAIN::showMessage(std::string_view text, MessageIcon icon, std::string_view title)
{
    platform_.showMessage(this, FromUtf8(text), icon, FromUtf8(title));
}

void frmMAIN::runWaitWindow(const std::function<void()>& clearRows)
{
    frmWAIT wait;
    wait.Form_Load(clearRows);
}

} // namespace tracklens::ui
