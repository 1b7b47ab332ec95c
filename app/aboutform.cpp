#include "app/aboutform.h"

#include <QDialogButtonBox>
#include <QEvent>
#include <QGroupBox>
#include <QHBoxLayout>
#include <QLabel>
#include <QPushButton>
#include <QRegularExpression>
#include <QSettings>
#include <QVBoxLayout>

#include "app/appconfig.h"
#include "app/apptexts.h"
#include "app/artwork.h"

namespace kv::app {

QUrl SupportMailUrl() {
    return QUrl(
        QStringLiteral("mailto:%1?subject=%2").arg(config::kSupportMail, texts::kSupportSubject));
}

QString VersionText(const char* version) {
    static const QRegularExpression form(R"(^(\d+)\.(\d+)\.(\d+)\.(\d+)$)");
    const auto match = form.match(QString::fromLatin1(version ? version : ""));
    if (!match.hasMatch()) return QStringLiteral("0.0.0.0");
    QStringList parts;
    // Each part is a 16-bit half of the version's two 32-bit words.
    for (int i = 1; i <= 4; ++i) parts << QString::number(match.captured(i).toUInt() & 0xFFFF);
    return parts.join('.');
}

std::optional<QString> RevisionText() {
    QSettings key(QSettings::NativeFormat, QSettings::UserScope, config::kSettingsOrganization,
                  config::kSettingsApplication);
    if (key.status() != QSettings::NoError) return std::nullopt;
    return key.value(config::kRevisionKey).toString();
}

namespace {

QLabel* Link(const QString& text, const QUrl& url) {
    auto* label = new QLabel(QStringLiteral("<a href=\"%1\">%2</a>")
                                 .arg(url.toString().toHtmlEscaped(), text.toHtmlEscaped()));
    label->setObjectName(text);
    label->setCursor(Qt::PointingHandCursor);
    label->setTextInteractionFlags(Qt::LinksAccessibleByMouse);
    return label;
}

}  // namespace

TAboutForm::TAboutForm(Desktop& desktop, QWidget* parent) : QDialog(parent), desktop_(desktop) {
    setObjectName("AboutForm");
    setWindowTitle(texts::kAboutCaption);
    auto* outer = new QVBoxLayout(this);
    auto* panel = new QWidget;
    panel->setAutoFillBackground(true);
    QPalette white = panel->palette();
    white.setColor(QPalette::Window, Qt::white);
    panel->setPalette(white);
    auto* content = new QHBoxLayout(panel);

    picture_ = new QLabel;
    picture_->setObjectName("ProgramImage");
    picture_->setPixmap(StaticPicture());
    picture_->setCursor(Qt::PointingHandCursor);
    picture_->installEventFilter(this);
    content->addWidget(picture_, 0, Qt::AlignTop);

    auto* column = new QVBoxLayout;
    auto* product = new QGroupBox(texts::kProductInformation);
    auto* productLayout = new QVBoxLayout(product);
    auto* version =
        new QLabel(QStringLiteral("%1 %2").arg(texts::kVersion, VersionText(KELVANE_VERSION)));
    version->setObjectName("VersionLabel");
    auto* revision = new QLabel(texts::kKnowledgeBase);
    revision->setObjectName("RevisionLabel");
    if (const auto text = RevisionText()) revision->setText(*text);
    productLayout->addWidget(version);
    productLayout->addWidget(revision);
    auto* links = new QHBoxLayout;
    QLabel* support = Link(texts::kSupportLink, SupportMailUrl());
    QLabel* updates = Link(texts::kUpdatesLink, QUrl(config::kUpdatePage));
    for (QLabel* link : {support, updates}) {
        connect(link, &QLabel::linkActivated, this,
                [this](const QString& url) { desktop_.Open(QUrl(url)); });
        links->addWidget(link);
    }
    links->addStretch();
    productLayout->addLayout(links);
    column->addWidget(product);

    auto* contact = new QGroupBox(texts::kContactInformation);
    auto* contactLayout = new QVBoxLayout(contact);
    contactLayout->addWidget(new QLabel(texts::kContactDetails));
    column->addWidget(contact);
    auto* legal = new QLabel(texts::kLegalNotice);
    legal->setWordWrap(true);
    QFont small = legal->font();
    small.setPointSizeF(small.pointSizeF() * 0.9);
    legal->setFont(small);
    column->addWidget(legal);
    content->addLayout(column, 1);
    outer->addWidget(panel);

    auto* buttons = new QDialogButtonBox(QDialogButtonBox::Ok);
    buttons->button(QDialogButtonBox::Ok)->setDefault(true);
    connect(buttons, &QDialogButtonBox::accepted, this, &QDialog::accept);
    outer->addWidget(buttons);
    setFixedSize(sizeHint().expandedTo(QSize(440, 0)));
}

bool TAboutForm::eventFilter(QObject* watched, QEvent* event) {
    if (watched == picture_ && event->type() == QEvent::MouseButtonRelease) {
        desktop_.Open(QUrl(config::kHomePage));
        return true;
    }
    return QDialog::eventFilter(watched, event);
}

}  // namespace kv::app
