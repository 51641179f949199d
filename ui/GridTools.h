#pragma once

#include <QObject>
#include <QString>
#include <filesystem>
#include <functional>
#include <optional>
#include <vector>

#include "cli/ListingFormat.h"
#include "engine/FileLoader.h"
#include "ui/GoToTarget.h"

class QAction;
class QProgressDialog;
class QWidget;

namespace tracklens::ui {

class BytesWindow;
class FilterDialog;
class FindBar;
class GoToDialog;
class GridMenu;
class ListingExport;
class ListingGrid;

// The grid's tools for reading a listing: find, filter, go to, the bytes behind each row and the
// export, with their keys and the grid's right-click menu. None of them moves the window's own
// controls: the find bar takes room under the grid's rows, the others are windows of their own.
class GridTools final : public QObject {
    Q_OBJECT

public:
    // The target and the format of an export, or an empty path when the choice was cancelled.
    struct ExportChoice {
        QString path;
        ListingFormat format = ListingFormat::Tsv;
    };
    using ExportChooser = std::function<ExportChoice(QWidget* parent)>;

    // The keys work anywhere in the window.
    GridTools(ListingGrid& grid, QWidget& window);
    ~GridTools() override;

    // The file the listing was read from: never a target of an export.
    void setAnalysedFile(const std::filesystem::path& path);

    void openFind();
    void findNext();
    void findPrevious();
    void openFilter();
    void openGoTo();
    void openBytes();
    // Asks for a target and writes the listing there.
    void exportListing();
    // Starts writing the listing; why it cannot, or nothing.
    std::optional<QString> exportTo(const QString& path, ListingFormat format, bool shownRowsOnly);
    // Makes the first row at or after the target current; why it cannot, or nothing.
    std::optional<QString> goTo(const GoToTarget& target);

    void setExportChooser(ExportChooser chooser) { chooseExport_ = std::move(chooser); }

    FindBar& findBar() { return *findBar_; }
    FilterDialog& filterDialog() { return *filter_; }
    GoToDialog& goToDialog() { return *goTo_; }
    BytesWindow& bytesWindow();
    ListingExport& listingExport() { return *export_; }
    // Where other commands add their entries to the right-click menu.
    GridMenu& menu() { return *menu_; }

private:
    QAction* addAction(const QString& text, const QKeySequence& key,
                       const std::function<void()>& triggered);
    void makeMenu();
    void listingChanged();
    void showExportProgress();
    void exportEnded(bool cancelled, const QString& failure);
    void showFailure(const QString& text);

    ListingGrid& grid_;
    QWidget& window_;
    FindBar* findBar_;
    FilterDialog* filter_;
    GoToDialog* goTo_;
    BytesWindow* bytes_ = nullptr;
    ListingExport* export_;
    GridMenu* menu_ = nullptr;
    QProgressDialog* exportProgress_ = nullptr;
    std::optional<FileIdentity> analysedFile_;
    bool askedExport_ = false; // the export under way was asked for through its dialog
    ExportChooser chooseExport_;
    std::vector<QAction*> listingActions_; // those that need a listing
};

} // namespace tracklens::ui
