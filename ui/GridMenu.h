#pragma once

#include <QObject>
#include <functional>
#include <map>
#include <vector>

class QAction;
class QMenu;
class QPoint;
class QWidget;

namespace tracklens::ui {

// Where other commands join the grid's right-click menu, in the menu's order.
enum class MenuPlace {
    Columns,      // after Select all: the columns shown
    TextEncoding, // after Bytes…: how the file's texts are read
    Diagnostics,  // after Export listing…: the run's problems and how it goes on
};

// The grid's right-click menu: Copy, Select all, the columns, Find…, Filter…, Go to…,
// Bytes…, the text encoding, Export listing… and the diagnostics. Made anew each time it opens,
// so that every entry shows its state of the moment.
class GridMenu final : public QObject {
    Q_OBJECT

public:
    struct Actions {
        QAction* copy;
        QAction* selectAll;
        QAction* find;
        QAction* filter;
        QAction* goTo;
        QAction* bytes;
        QAction* exportListing;
    };
    // Adds entries to a menu being made.
    using Entries = std::function<void(QMenu&)>;

    GridMenu(Actions actions, QObject* parent);

    // Other commands add their entries at a place; each is asked again whenever the menu opens.
    void addEntries(MenuPlace place, Entries entries);

    // The menu as it is now; its owner deletes it.
    QMenu* make(QWidget* parent) const;
    void popup(QWidget* parent, const QPoint& globalPosition) const;

private:
    void addAt(QMenu& menu, MenuPlace place) const;

    Actions actions_;
    std::map<MenuPlace, std::vector<Entries>> entries_;
};

} // namespace tracklens::ui
