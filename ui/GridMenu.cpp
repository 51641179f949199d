#include "ui/GridMenu.h"

#include <QMenu>
#include <utility>

namespace tracklens::ui {

GridMenu::GridMenu(Actions actions, QObject* parent)
    : QObject(parent)
    , actions_(actions)
{
}

void GridMenu::addEntries(MenuPlace place, Entries entries)
{
    entries_[place].push_back(std::move(entries));
}

void GridMenu::addAt(QMenu& menu, MenuPlace place) const
{
    const auto found = entries_.find(place);
    if (found == entries_.end()) {
        return;
    }
    menu.addSeparator();
    for (const Entries& entries : found->second) {
        entries(menu);
    }
}

QMenu* GridMenu::make(QWidget* parent) const
{
    auto* menu = new QMenu(parent);
    menu->setObjectName(QStringLiteral("gridMenu"));
    menu->addAction(actions_.copy);
    menu->addAction(actions_.selectAll);
    addAt(*menu, MenuPlace::Columns);
    menu->addSeparator();
    menu->addAction(actions_.find);
    menu->addAction(actions_.filter);
    menu->addAction(actions_.goTo);
    menu->addAction(actions_.bytes);
    addAt(*menu, MenuPlace::TextEncoding);
    menu->addSeparator();
    menu->addAction(actions_.exportListing);
    addAt(*menu, MenuPlace::Diagnostics);
    return menu;
}

void GridMenu::popup(QWidget* parent, const QPoint& globalPosition) const
{
    QMenu* menu = make(parent);
    menu->setAttribute(Qt::WA_DeleteOnClose);
    menu->popup(globalPosition);
}

} // namespace tracklens::ui
