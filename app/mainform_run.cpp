// What a detection run drives in the main window: control locking, the command button, the
// error log, the status text, the gauge and the clips; and the window's resize handling.
#include <QApplication>
#include <QCheckBox>
#include <QEvent>
#include <QFrame>
#include <QLabel>
#include <QMouseEvent>
#include <QProgressBar>
#include <QPushButton>
#include <QScrollBar>
#include <QSet>
#include <QSplitter>
#include <QStatusBar>
#include <QStyle>
#include <QTextBlock>
#include <QTextCursor>
#include <QTextEdit>
#include <QThread>

#include "app/apptexts.h"
#include "app/artwork.h"
#include "app/clipsequence.h"
#include "app/engineboxes.h"
#include "app/mainform.h"

namespace kv::app {

namespace {

// Controls that keep their state during a run: the command button (it is Stop then), the
// grids and their save buttons, the log, the panels, splitters, banner and clip panel.
const QSet<QString>& KeptDuringRun() {
    static const QSet<QString> kept{"LogRichEdit", "FindTBXButton", "SanSplitter", "SanSplitter1",
                                    "Panel1",      "Panel2",        "Panel3",      "Panel4",
                                    "Panel5",      "Panel6",        "Panel7",      "Panel8",
                                    "Panel9",      "TBXButton1",    "TBXButton2",  "Image",
                                    "PlayPanel",   "DBGridEh1",     "DBGridEh2",   "dfsStatusBar"};
    return kept;
}

}  // namespace

void TMainForm::SetRunControlsEnabled(bool enabled) {
    // Components are the named widgets; Qt's own parts of a widget are unnamed or "qt_...".
    for (QWidget* control : centralWidget()->findChildren<QWidget*>()) {
        const QString name = control->objectName();
        if (name.isEmpty() || name.startsWith(QLatin1String("qt_")) ||
            KeptDuringRun().contains(name))
            continue;
        control->setEnabled(enabled);
    }
}

void TMainForm::BindCommandToStop(bool stop) {
    commandIsStop_ = stop;
    FindTBXButton->setText(stop ? texts::kStopScanning : texts::kFindWords);
    FindTBXButton->setIcon(stop ? StopIcon() : FindIcon());
    if (stop) {
        FindTBXButton->setEnabled(true);
        FindTBXButton->setToolTip(QString());
    } else {
        UpdateFindCommand();
    }
}

void TMainForm::ClearErrorLog() {
    LogRichEdit->clear();
    LogRichEdit->hide();
}

void TMainForm::LogError(const std::string& message) {
    if (!message.empty()) LogRichEdit->append(QString::fromStdString(message));
    if (LogRichEdit->isHidden()) {
        LogRichEdit->show();
        const int total = SanSplitter->height();
        SanSplitter->setSizes({std::max(total - 90, 1), 90});
    }
    // The newest line from its start: a long address must not push the message out of view.
    LogRichEdit->setTextCursor(QTextCursor(LogRichEdit->document()->lastBlock()));
    LogRichEdit->ensureCursorVisible();
    LogRichEdit->horizontalScrollBar()->setValue(0);
}

void TMainForm::SetStatusText(const std::string& text) {
    statusText_->setText(QString::fromStdString(text));
}

void TMainForm::SetGaugeEnabled(bool enabled) {
    gaugePanel_->setEnabled(enabled);
    // A disabled gauge panel shows no gauge.
    gauge_->setVisible(enabled);
}

void TMainForm::SetGaugeIndeterminate() {
    gauge_->setRange(0, 0);
}

void TMainForm::SetGaugePosition(int percent) {
    gauge_->setRange(0, 100);
    gauge_->setValue(percent);
}

void TMainForm::ShowNoEngineMessage() {
    desktop_.ShowInformation(this, texts::kInformation, texts::kNoEngine);
    engineBoxes_->FocusFirst();
}

void TMainForm::StartClips() {
    clips_->Start();
}
void TMainForm::PutPictureBack() {
    clips_->PutPictureBack();
}
bool TMainForm::PictureIsBack() {
    return clips_->PictureIsBack();
}

void TMainForm::ProcessEvents() {
    QCoreApplication::processEvents();
    QThread::msleep(1);
}

void TMainForm::resizeEvent(QResizeEvent* event) {
    QMainWindow::resizeEvent(event);
    FormResize();
}

void TMainForm::FormResize() {
    dfsStatusBarResize();
    Image->move((Panel8->width() - Image->width()) / 2, Image->y());
}

void TMainForm::dfsStatusBarResize() {
    gaugePanel_->setFixedWidth(100);
    const int captionButton = style()->pixelMetric(QStyle::PM_TitleBarButtonSize, nullptr, this);
    const int width = statusBar()->width() - gaugePanel_->width() - captionButton;
    if (statusText_->width() != width) statusText_->setFixedWidth(std::max(width, 0));
    statusBar()->update();
}

bool TMainForm::eventFilter(QObject* watched, QEvent* event) {
    if (watched == Panel8 && event->type() == QEvent::Resize) FormResize();
    if (event->type() == QEvent::MouseButtonRelease &&
        static_cast<QMouseEvent*>(event)->button() == Qt::LeftButton &&
        (watched == Image || watched == PlayPanel || watched == Image1)) {
        ImageClick();
        return true;
    }
    return QMainWindow::eventFilter(watched, event);
}

}  // namespace kv::app
