#include "app/keywordmanager.h"

#include <QDialogButtonBox>
#include <QHBoxLayout>
#include <QHeaderView>
#include <QLabel>
#include <QLineEdit>
#include <QPushButton>
#include <QVBoxLayout>

#include "app/apptexts.h"
#include "app/resultgrid.h"
#include "data/tablefields.h"
#include "detect/keywordrules.h"

namespace kv::app {

TNewWordForm::TNewWordForm(const QString& caption, const QString& label, QWidget* parent)
    : QDialog(parent) {
    setObjectName("NewWordForm");
    setWindowTitle(caption);
    auto* layout = new QVBoxLayout(this);
    auto* prompt = new QLabel(label);
    wordEdit_ = new QLineEdit;
    wordEdit_->setObjectName("WordEdit");
    wordEdit_->setMinimumWidth(260);
    prompt->setBuddy(wordEdit_);
    layout->addWidget(prompt);
    layout->addWidget(wordEdit_);
    auto* hint = new QLabel;
    hint->setObjectName("RefusalHint");
    hint->setWordWrap(true);
    layout->addWidget(hint);
    auto* buttons = new QDialogButtonBox(QDialogButtonBox::Ok | QDialogButtonBox::Cancel);
    QPushButton* ok = buttons->button(QDialogButtonBox::Ok);
    ok->setDefault(true);
    // OK waits for a keyword the history takes; the hint says why it waits.
    const auto check = [ok, hint](const QString& text) {
        QString refusal;
        try {
            detect::CheckedKeyword(text.toStdString());
        } catch (const detect::KeywordError& e) {
            refusal = QString::fromStdString(e.what());
        }
        ok->setEnabled(refusal.isEmpty());
        hint->setText(text.isEmpty() ? QString() : refusal);
    };
    connect(wordEdit_, &QLineEdit::textChanged, this, check);
    check(QString());
    connect(buttons, &QDialogButtonBox::accepted, this, &QDialog::accept);
    connect(buttons, &QDialogButtonBox::rejected, this, &QDialog::reject);
    layout->addWidget(buttons);
    setFixedSize(sizeHint());
}

QString TNewWordForm::Text() const {
    return wordEdit_->text();
}

TWordEditForm::TWordEditForm(data::Table& history, Desktop& desktop, QWidget* parent)
    : QDialog(parent), history_(history), desktop_(desktop) {
    setObjectName("WordEditForm");
    setWindowTitle(texts::kKeywordManager);
    auto* layout = new QHBoxLayout(this);
    auto* model = new TableModel(history,
                                 {{std::string(data::word_fields::Word), texts::kKeywordCaption,
                                   Qt::AlignLeft | Qt::AlignVCenter, false, QIcon()}},
                                 this);
    grid_ = new ResultGrid(model);
    grid_->setObjectName("WordDBGrid");
    grid_->horizontalHeader()->setSectionsMovable(false);
    layout->addWidget(grid_, 1);
    auto* buttons = new QVBoxLayout;
    auto* add = new QPushButton(texts::kAdd);
    add->setObjectName("AddTBXButton");
    auto* remove = new QPushButton(texts::kDelete);
    remove->setObjectName("DeleteTBXButton");
    auto* close = new QPushButton(texts::kClose);
    close->setObjectName("CloseButton");
    close->setDefault(true);
    buttons->addWidget(add);
    buttons->addWidget(remove);
    buttons->addStretch();
    buttons->addWidget(close);
    layout->addLayout(buttons);
    connect(add, &QPushButton::clicked, this, &TWordEditForm::AddTBXButtonClick);
    connect(remove, &QPushButton::clicked, this, &TWordEditForm::DeleteTBXButtonClick);
    // Close is both the default and the cancel button.
    connect(close, &QPushButton::clicked, this, &QDialog::reject);
    setFixedSize(360, 320);
}

void TWordEditForm::AddTBXButtonClick() {
    TNewWordForm form(texts::kAddNewKeyword, texts::kEnterKeyword, this);
    if (form.exec() != QDialog::Accepted || form.Text().isEmpty()) return;
    std::string word;
    try {
        word = detect::CheckedKeyword(form.Text().toStdString());
    } catch (const detect::KeywordError& e) {
        desktop_.ShowInformation(this, texts::kInformation, QString::fromStdString(e.what()));
        return;
    }
    // An exact, case-sensitive match selects the existing keyword instead of adding one.
    if (history_.Locate(data::word_fields::Word, word)) return;
    history_.Append();
    history_.SetString(data::word_fields::Word, word);
    history_.Post();
}

void TWordEditForm::DeleteTBXButtonClick() {
    if (history_.IsEmpty()) return;
    QString question = texts::kDeleteQuestion;
    question.replace("%s", QString::fromStdString(history_.AsString(data::word_fields::Word)));
    if (desktop_.AskYesNo(this, texts::kConfirmation, question)) history_.Delete();
}

}  // namespace kv::app
