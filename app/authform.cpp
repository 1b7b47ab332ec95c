#include "app/authform.h"

#include <QCheckBox>
#include <QGridLayout>
#include <QHBoxLayout>
#include <QLabel>
#include <QLineEdit>
#include <QPushButton>
#include <QVBoxLayout>

#include "app/apptexts.h"

namespace kv::app {

namespace {

template <typename T>
T* WithId(T* control, int id) {
    control->setObjectName(QStringLiteral("Control%1").arg(id));
    return control;
}

QString Q(const std::string& s) {
    return QString::fromStdString(s);
}

}  // namespace

TAuthForm::TAuthForm(http::TAuthDlgData& data, QWidget* parent) : QDialog(parent), data_(data) {
    setObjectName("AuthForm");
    setWindowTitle(texts::kAuthCaption);
    auto* outer = new QVBoxLayout(this);
    outer->addWidget(new QLabel(texts::kAuthPrompt));
    auto* grid = new QGridLayout;
    grid->addWidget(WithId(new QLabel(Q(data.caption)), 1042), 0, 0);
    grid->addWidget(WithId(new QLabel(Q(data.site)), 1041), 0, 1);
    grid->addWidget(new QLabel(QStringLiteral("%1:").arg(texts::kRealm)), 1, 0);
    grid->addWidget(WithId(new QLabel(Q(data.realm)), 1044), 1, 1);
    userName_ = WithId(new QLineEdit(Q(data.userName)), 1218);
    userName_->setMaxLength(kAuthFieldLimit);
    password_ = WithId(new QLineEdit(Q(data.password)), 1219);
    password_->setMaxLength(kAuthFieldLimit);
    password_->setEchoMode(QLineEdit::Password);
    grid->addWidget(new QLabel(QStringLiteral("%1:").arg(texts::kUserName)), 2, 0);
    grid->addWidget(userName_, 2, 1);
    grid->addWidget(new QLabel(QStringLiteral("%1:").arg(texts::kAuthPassword)), 3, 0);
    grid->addWidget(password_, 3, 1);
    grid->setColumnMinimumWidth(1, 240);
    outer->addLayout(grid);
    save_ = WithId(new QCheckBox(texts::kSavePassword), 1024);
    save_->setChecked(data.save);
    outer->addWidget(save_);
    auto* buttons = new QHBoxLayout;
    buttons->addStretch();
    auto* ok = WithId(new QPushButton(texts::kOk), 1);
    auto* cancel = WithId(new QPushButton(texts::kCancel), 2);
    ok->setDefault(true);
    buttons->addWidget(ok);
    buttons->addWidget(cancel);
    outer->addLayout(buttons);
    connect(ok, &QPushButton::clicked, this, &TAuthForm::OkClick);
    connect(cancel, &QPushButton::clicked, this, &QDialog::reject);
    setFixedSize(sizeHint());
}

void TAuthForm::OkClick() {
    data_.userName = userName_->text().toStdString();
    data_.password = password_->text().toStdString();
    data_.save = save_->isChecked();
    done(http::kAuthOk);
}

int QtAuthDialog::Execute(http::TAuthDlgData& data) {
    TAuthForm form(data, parent_);
    return form.exec() == http::kAuthOk ? http::kAuthOk : http::kAuthCanceled;
}

}  // namespace kv::app
