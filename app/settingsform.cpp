#include "app/settingsform.h"

#include <QCheckBox>
#include <QComboBox>
#include <QDialogButtonBox>
#include <QFormLayout>
#include <QGridLayout>
#include <QGroupBox>
#include <QHBoxLayout>
#include <QLabel>
#include <QLineEdit>
#include <QRadioButton>
#include <QVBoxLayout>

#include "app/appconfig.h"
#include "app/apptexts.h"
#include "data/inifile.h"

namespace kv::app {

namespace {

QLineEdit* Field(const char* name, int width = 0) {
    auto* edit = new QLineEdit;
    edit->setObjectName(name);
    if (width > 0) edit->setFixedWidth(width);
    return edit;
}

QString Q(const std::string& s) {
    return QString::fromStdString(s);
}

}  // namespace

TSettingsForm::TSettingsForm(http::SettingsDialogModel& model, QWidget* parent)
    : QDialog(parent), model_(model) {
    setObjectName("SettingsForm");
    setWindowTitle(texts::kSettingsCaption);
    auto* outer = new QVBoxLayout(this);

    auto* group = new QGroupBox(texts::kConnectionGroup);
    auto* groupLayout = new QGridLayout(group);
    direct_ = new QRadioButton(texts::kDirectConnection);
    direct_->setObjectName("DirectRadioButton");
    viaProxy_ = new QRadioButton(texts::kConnectViaProxy);
    viaProxy_->setObjectName("ProxyRadioButton");
    system_ = new QRadioButton(texts::kUseSystemSettings);
    system_->setObjectName("SystemRadioButton");
    proxyLabel_ = new QLabel(texts::kProxyServer);
    proxy_ = Field("ProxyEdit");
    portLabel_ = new QLabel(texts::kPort);
    port_ = Field("PortEdit", 70);
    groupLayout->addWidget(direct_, 0, 0, 1, 4);
    groupLayout->addWidget(viaProxy_, 1, 0, 1, 4);
    groupLayout->addWidget(proxyLabel_, 2, 0);
    groupLayout->addWidget(proxy_, 2, 1);
    groupLayout->addWidget(portLabel_, 2, 2);
    groupLayout->addWidget(port_, 2, 3);
    groupLayout->addWidget(system_, 3, 0, 1, 4);
    groupLayout->setColumnMinimumWidth(0, 90);
    outer->addWidget(group);

    auto* form = new QGridLayout;
    timeout_ = Field("TimeoutEdit", 60);
    retry_ = Field("RetryEdit", 60);
    form->addWidget(new QLabel(texts::kConnectionTimeout), 0, 0);
    form->addWidget(timeout_, 0, 1);
    form->addWidget(new QLabel(texts::kSeconds), 0, 2);
    form->addWidget(new QLabel(texts::kTryToReconnect), 1, 0);
    form->addWidget(retry_, 1, 1);
    form->addWidget(new QLabel(texts::kTimes), 1, 2);
    form->setColumnStretch(3, 1);
    userAgent_ = new QComboBox;
    userAgent_->setObjectName("UserAgentComboBox");
    userAgent_->setEditable(true);
    userAgent_->setMinimumWidth(380);
    userAgent_->setSizeAdjustPolicy(QComboBox::AdjustToMinimumContentsLengthWithIcon);
    form->addWidget(new QLabel(texts::kUserAgent), 2, 0);
    form->addWidget(userAgent_, 2, 1, 1, 3);
    caFile_ = Field("CaFileEdit");
    form->addWidget(new QLabel(texts::kCaFile), 3, 0);
    form->addWidget(caFile_, 3, 1, 1, 3);
    acceptLanguage_ = Field("AcceptLanguageEdit");
    form->addWidget(new QLabel(texts::kAcceptLanguage), 4, 0);
    form->addWidget(acceptLanguage_, 4, 1, 1, 3);
    outer->addLayout(form);

    useAuth_ = new QCheckBox(texts::kUseAuthentication);
    useAuth_->setObjectName("UseAuthCheckBox");
    outer->addWidget(useAuth_);
    auto* auth = new QGridLayout;
    nameLabel_ = new QLabel(texts::kName);
    name_ = Field("NameEdit");
    passwordLabel_ = new QLabel(texts::kPassword);
    password_ = Field("PasswordEdit");
    password_->setEchoMode(QLineEdit::Password);
    auth->addWidget(nameLabel_, 0, 0);
    auth->addWidget(name_, 0, 1);
    auth->addWidget(passwordLabel_, 1, 0);
    auth->addWidget(password_, 1, 1);
    auth->setContentsMargins(20, 0, 0, 0);
    outer->addLayout(auth);

    auto* buttons = new QDialogButtonBox(QDialogButtonBox::Ok | QDialogButtonBox::Cancel);
    connect(buttons, &QDialogButtonBox::accepted, this, [this] {
        ReadControls();
        accept();
    });
    connect(buttons, &QDialogButtonBox::rejected, this, &QDialog::reject);
    outer->addWidget(buttons);

    // Disabled until filled.
    for (QWidget* w : {static_cast<QWidget*>(proxyLabel_), static_cast<QWidget*>(proxy_),
                       static_cast<QWidget*>(portLabel_), static_cast<QWidget*>(port_),
                       static_cast<QWidget*>(nameLabel_), static_cast<QWidget*>(name_),
                       static_cast<QWidget*>(passwordLabel_), static_cast<QWidget*>(password_)})
        w->setEnabled(false);
    ShowModel();
    connect(direct_, &QRadioButton::toggled, this, [this](bool on) {
        if (on) ConnectTypeSelected(http::kConnectDirect);
    });
    connect(viaProxy_, &QRadioButton::toggled, this, [this](bool on) {
        if (on) ConnectTypeSelected(http::kConnectProxy);
    });
    connect(system_, &QRadioButton::toggled, this, [this](bool on) {
        if (on) ConnectTypeSelected(http::kConnectSystem);
    });
    connect(useAuth_, &QCheckBox::toggled, this, &TSettingsForm::UseAuthChanged);
    setFixedSize(sizeHint());
}

void TSettingsForm::ShowModel() {
    proxy_->setText(Q(model_.proxyText));
    port_->setText(Q(model_.portText));
    timeout_->setText(Q(model_.timeoutText));
    retry_->setText(Q(model_.retryText));
    userAgent_->clear();
    for (const auto& agent : model_.userAgents) userAgent_->addItem(Q(agent));
    userAgent_->setEditText(Q(model_.userAgentText));
    caFile_->setText(Q(model_.caFileText));
    acceptLanguage_->setText(Q(model_.acceptLanguageText));
    useAuth_->setChecked(model_.useAuth);
    name_->setText(Q(model_.nameText));
    password_->setText(Q(model_.passwordText));
    for (QWidget* w : {static_cast<QWidget*>(nameLabel_), static_cast<QWidget*>(name_),
                       static_cast<QWidget*>(passwordLabel_), static_cast<QWidget*>(password_)})
        w->setEnabled(model_.authFieldsEnabled);
    QRadioButton* choice = model_.connectType == http::kConnectDirect  ? direct_
                           : model_.connectType == http::kConnectProxy ? viaProxy_
                                                                       : system_;
    choice->setChecked(true);
    for (QWidget* w : {static_cast<QWidget*>(proxyLabel_), static_cast<QWidget*>(proxy_),
                       static_cast<QWidget*>(portLabel_), static_cast<QWidget*>(port_)})
        w->setEnabled(model_.proxyFieldsEnabled);
}

void TSettingsForm::ConnectTypeSelected(int type) {
    model_.proxyText = proxy_->text().toStdString();
    model_.portText = port_->text().toStdString();
    model_.SelectConnectType(type);
    proxy_->setText(Q(model_.proxyText));
    port_->setText(Q(model_.portText));
    for (QWidget* w : {static_cast<QWidget*>(proxyLabel_), static_cast<QWidget*>(proxy_),
                       static_cast<QWidget*>(portLabel_), static_cast<QWidget*>(port_)})
        w->setEnabled(model_.proxyFieldsEnabled);
}

void TSettingsForm::UseAuthChanged(bool on) {
    model_.SetUseAuth(on);
    for (QWidget* w : {static_cast<QWidget*>(nameLabel_), static_cast<QWidget*>(name_),
                       static_cast<QWidget*>(passwordLabel_), static_cast<QWidget*>(password_)})
        w->setEnabled(model_.authFieldsEnabled);
}

void TSettingsForm::ReadControls() {
    model_.proxyText = proxy_->text().toStdString();
    model_.portText = port_->text().toStdString();
    model_.timeoutText = timeout_->text().toStdString();
    model_.retryText = retry_->text().toStdString();
    model_.userAgentText = userAgent_->currentText().toStdString();
    model_.caFileText = caFile_->text().toStdString();
    model_.acceptLanguageText = acceptLanguage_->text().toStdString();
    model_.nameText = name_->text().toStdString();
    model_.passwordText = password_->text().toStdString();
    model_.SetUseAuth(useAuth_->isChecked());
}

bool ExecuteSettingsForm(QWidget* parent, const std::string& folder) {
    const std::string path = http::SettingsFilePath(folder);
    const auto systemProxy = http::SystemProxyServer();
    http::SettingsDialogModel model;
    const std::string agents = folder + "/" + config::kUserAgentList;
    model.Fill(http::LoadConnectionSettings(data::IniFile(path), systemProxy,
                                            http::DefaultUserAgent(agents)),
               agents, systemProxy);
    TSettingsForm form(model, parent);
    if (form.exec() != QDialog::Accepted) return false;
    data::IniFile ini(path);
    http::StoreConnectionSettings(ini, model.Result());
    // The file holds the password: readable by the user only.
    ini.Save(0600, true);
    return true;
}

}  // namespace kv::app
