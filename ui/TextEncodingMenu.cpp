#include "ui/TextEncodingMenu.h"

#include <QActionGroup>
#include <QMenu>
#include <array>

namespace tracklens::ui {

namespace {

struct EncodingEntry {
    TextEncoding encoding;
    const char* text;
};

constexpr std::array<EncodingEntry, 4> kEntries = {{
    {TextEncoding::Windows1252, "Windows-1252"},
    {TextEncoding::Utf8, "UTF-8"},
    {TextEncoding::ShiftJis, "Shift-JIS"},
    {TextEncoding::Automatic, "Automatic"},
}};

} // namespace

QMenu* AddTextEncodingMenu(QMenu& menu, TextEncoding current,
                           const std::function<void(TextEncoding)>& choose)
{
    QMenu* submenu = menu.addMenu(QStringLiteral("Text encoding"));
    auto* group = new QActionGroup(submenu);
    group->setExclusive(true);
    for (const EncodingEntry& entry : kEntries) {
        QAction* action = submenu->addAction(QString::fromLatin1(entry.text));
        action->setCheckable(true);
        action->setChecked(entry.encoding == current);
        action->setActionGroup(group);
        const TextEncoding encoding = entry.encoding;
        QObject::connect(action, &QAction::triggered, submenu,
                         [choose, encoding] { choose(encoding); });
    }
    return submenu;
}

} // namespace tracklens::ui
