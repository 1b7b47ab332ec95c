#include "app/manualviewer.h"

#include <QTextBrowser>
#include <QUrl>
#include <QVBoxLayout>

#include "app/apptexts.h"

namespace kv::app {

namespace {

const QSize kViewerSize(720, 560);

}  // namespace

ManualViewer::ManualViewer(const QString& manualPath, QWidget* parent) : QDialog(parent) {
    setObjectName("ManualViewer");
    setWindowTitle(texts::kManualCaption);
    setAttribute(Qt::WA_DeleteOnClose);
    auto* layout = new QVBoxLayout(this);
    layout->setContentsMargins(0, 0, 0, 0);
    browser_ = new QTextBrowser;
    browser_->setOpenExternalLinks(false);
    browser_->setSource(QUrl::fromLocalFile(manualPath));
    layout->addWidget(browser_);
    resize(kViewerSize);
}

}  // namespace kv::app
