#include "ui/GoToDialog.h"

#include <QComboBox>
#include <QDialogButtonBox>
#include <QFormLayout>
#include <QLabel>
#include <QLineEdit>
#include <QPushButton>
#include <QVBoxLayout>
#include <utility>

namespace tracklens::ui {

namespace {

struct FormEntry {
    GoToForm form;
    const char* name;
    const char* example;
};
constexpr FormEntry kForms[] = {
    {GoToForm::Row, "Row", "1234"},         {GoToForm::AbsTick, "Abs Tick", "1920"},
    {GoToForm::Time, "Time", "1:23.456"},   {GoToForm::Bar, "Bar", "48:1:000"},
    {GoToForm::Offset, "Offset", "0x1F3A"},
};

} // namespace

GoToDialog::GoToDialog(Go go, QWidget* parent)
    : QDialog(parent)
    , go_(std::move(go))
    , form_(new QComboBox(this))
    , text_(new QLineEdit(this))
    , error_(new QLabel(this))
{
    setObjectName(QStringLiteral("goToDialog"));
    setWindowTitle(tr("Go to"));
    for (const FormEntry& entry : kForms) {
        form_->addItem(tr(entry.name), static_cast<int>(entry.form));
    }
    error_->setObjectName(QStringLiteral("goToError"));
    error_->setStyleSheet(QStringLiteral("QLabel { color: #C00000; }"));
    auto* fields = new QFormLayout;
    fields->addRow(tr("&By:"), form_);
    fields->addRow(tr("&Go to:"), text_);
    auto* buttons = new QDialogButtonBox(QDialogButtonBox::Ok | QDialogButtonBox::Close, this);
    buttons->button(QDialogButtonBox::Ok)->setText(tr("&Go"));
    auto* layout = new QVBoxLayout(this);
    layout->addLayout(fields);
    layout->addWidget(error_);
    layout->addWidget(buttons);

    const auto showExample = [this] {
        text_->setPlaceholderText(
            QString::fromLatin1(kForms[static_cast<std::size_t>(form_->currentIndex())].example));
        error_->clear();
    };
    connect(form_, &QComboBox::currentIndexChanged, this, showExample);
    connect(buttons, &QDialogButtonBox::accepted, this, &GoToDialog::go);
    connect(buttons, &QDialogButtonBox::rejected, this, &QDialog::reject);
    showExample();
}

void GoToDialog::choose(GoToForm form, const QString& text)
{
    form_->setCurrentIndex(form_->findData(static_cast<int>(form)));
    text_->setText(text);
}

bool GoToDialog::go()
{
    const auto form = static_cast<GoToForm>(form_->currentData().toInt());
    const GoToParse parsed = ParseGoTo(form, text_->text().toStdString());
    if (!parsed.target) {
        error_->setText(QString::fromStdString(parsed.error));
        return false;
    }
    if (const std::optional<QString> failure = go_(*parsed.target)) {
        error_->setText(*failure);
        return false;
    }
    error_->clear();
    accept();
    return true;
}

QString GoToDialog::error() const
{
    return error_->text();
}

} // namespace tracklens::ui
