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
#include <QPushButton>
#include <QRadioButton>
#include <QVBoxLayout>
#include <algorithm>

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

TSettingsForm::TSettingsForm(http::SettingsDialogModel& model, QWidget* parent,
                             detect::KeywordSources* sources)
    : QDialog(parent), model_(model), sources_(sources) {
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
    parallel_ = Field("ParallelEdit", 60);
    form->addWidget(new QLabel(texts::kParallelFetches), 3, 0);
    form->addWidget(parallel_, 3, 1);
    form->addWidget(new QLabel(texts::kPagesAtOnce), 3, 2);
    caFile_ = Field("CaFileEdit");
    form->addWidget(new QLabel(texts::kCaFile), 4, 0);
    form->addWidget(caFile_, 4, 1, 1, 3);
    acceptLanguage_ = Field("AcceptLanguageEdit");
    form->addWidget(new QLabel(texts::kAcceptLanguage), 5, 0);
    form->addWidget(acceptLanguage_, 5, 1, 1, 3);
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
    if (sources_) AddKeywordSources(outer);

    auto* buttons = new QDialogButtonBox(QDialogButtonBox::Ok | QDialogButtonBox::Cancel);
    connect(buttons, &QDialogButtonBox::accepted, this, [this] {
        ReadControls();
        accept();
    });
    connect(buttons, &QDialogButtonBox::rejected, this, &QDialog::reject);
    ok_ = buttons->button(QDialogButtonBox::Ok);
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
    connect(viaProxy_, &QRadioButton::toggled, this, &TSettingsForm::UpdateOkButton);
    connect(proxy_, &QLineEdit::textChanged, this, &TSettingsForm::UpdateOkButton);
    UpdateOkButton();
    setFixedSize(sizeHint());
}

void TSettingsForm::UpdateOkButton() {
    const bool refused = viaProxy_->isChecked() && proxy_->text().trimmed().isEmpty();
    ok_->setEnabled(!refused);
    ok_->setToolTip(refused ? texts::kProxyServerNeeded : QString());
}

void TSettingsForm::ShowModel() {
    proxy_->setText(Q(model_.proxyText));
    port_->setText(Q(model_.portText));
    timeout_->setText(Q(model_.timeoutText));
    retry_->setText(Q(model_.retryText));
    parallel_->setText(Q(model_.parallelText));
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

void TSettingsForm::AddKeywordSources(QVBoxLayout* outer) {
    auto* group = new QGroupBox(texts::kKeywordSourcesGroup);
    auto* layout = new QHBoxLayout(group);
    const std::array<const char*, detect::kKeywordSourceCount> captions{
        texts::kSourceMeta, texts::kSourceNews, texts::kSourceTags, texts::kSourceData};
    for (std::size_t i = 0; i < sourceBoxes_.size(); ++i) {
        auto* box = new QCheckBox(captions[i]);
        const auto source = static_cast<detect::KeywordSource>(i);
        box->setObjectName(QString("KeywordSource_") +
                           QString::fromUtf8(detect::KeywordSourceToken(source).data(), 4));
        box->setChecked(sources_->Has(source));
        // A page must be read somewhere: the last ticked box cannot be cleared.
        connect(box, &QCheckBox::toggled, this, [this, box](bool on) {
            const bool any = std::any_of(sourceBoxes_.begin(), sourceBoxes_.end(),
                                         [](QCheckBox* b) { return b->isChecked(); });
            if (!on && !any) box->setChecked(true);
        });
        sourceBoxes_[i] = box;
        layout->addWidget(box);
    }
    outer->addWidget(group);
}

void TSettingsForm::ReadControls() {
    model_.proxyText = proxy_->text().toStdString();
    model_.portText = port_->text().toStdString();
    model_.timeoutText = timeout_->text().toStdString();
    model_.retryText = retry_->text().toStdString();
    model_.parallelText = parallel_->text().toStdString();
    model_.userAgentText = userAgent_->currentText().toStdString();
    model_.caFileText = caFile_->text().toStdString();
    model_.acceptLanguageText = acceptLanguage_->text().toStdString();
    model_.nameText = name_->text().toStdString();
    model_.passwordText = password_->text().toStdString();
    model_.SetUseAuth(useAuth_->isChecked());
    if (sources_) {
        for (std::size_t i = 0; i < sourceBoxes_.size(); ++i)
            sources_->Set(static_cast<detect::KeywordSource>(i), sourceBoxes_[i]->isChecked());
    }
}

bool ExecuteSettingsForm(QWidget* parent, const std::string& folder) {
    return ExecuteSettingsForm(parent, folder, folder + "/" + config::kUserAgentList);
}

bool ExecuteSettingsForm(QWidget* parent, const std::string& settingsFolder,
                         const std::string& userAgentList) {
    const std::string path = http::SettingsFilePath(settingsFolder);
    const auto systemProxy = http::SystemProxyServer();
    http::SettingsDialogModel model;
    model.Fill(http::LoadConnectionSettings(data::IniFile(path), systemProxy,
                                            http::DefaultUserAgent(userAgentList)),
               userAgentList, systemProxy);
    detect::KeywordSources sources = detect::LoadKeywordSources(data::IniFile(path));
    TSettingsForm form(model, parent, &sources);
    if (form.exec() != QDialog::Accepted) return false;
    data::IniFile ini(path);
    http::StoreConnectionSettings(ini, model.Result());
    detect::StoreKeywordSources(ini, sources);
    // The file holds the password: readable by the user only.
    ini.Save(0600, true);
    return true;
}

}  // namespace kv::app
