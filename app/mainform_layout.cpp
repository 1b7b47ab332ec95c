// The main window's layout, top to bottom: banner strip, input strip, the two result grids,
// the error log and the status bar.
#include <QApplication>
#include <QCheckBox>
#include <QComboBox>
#include <QFrame>
#include <QGridLayout>
#include <QHBoxLayout>
#include <QHeaderView>
#include <QLabel>
#include <QProgressBar>
#include <QPushButton>
#include <QRadioButton>
#include <QShortcut>
#include <QSplitter>
#include <QStatusBar>
#include <QTextEdit>
#include <QVBoxLayout>

#include "app/apptexts.h"
#include "app/artwork.h"
#include "app/countbardelegate.h"
#include "app/engineboxes.h"
#include "app/gridlook.h"
#include "app/mainform.h"
#include "app/resultgrid.h"
#include "data/tablefields.h"

namespace kv::app {

namespace {

constexpr int kBannerStripHeight = 64;
constexpr int kClipStripWidth = 64;
constexpr int kInputStripHeight = 73;
constexpr int kButtonBarHeight = 37;
constexpr int kSplitterWidth = 5;
constexpr int kLogHeight = 90;
constexpr int kLeftPaneMin = 185;
constexpr int kLeftPaneMax = 300;
constexpr int kKeywordBoxRows = 8;
constexpr int kKeywordBoxMinChars = 12;
constexpr int kGaugeWidth = 100;
// Wide enough for all four source names: "meta,news,tags,data".
constexpr int kSourcesColumnWidth = 110;
const QSize kCommandButtonSize(129, 35);

template <typename T>
T* Named(T* widget, const char* name) {
    widget->setObjectName(name);
    return widget;
}

QFrame* LoweredPanel(const char* name) {
    auto* frame = Named(new QFrame, name);
    frame->setFrameStyle(QFrame::StyledPanel | QFrame::Sunken);
    return frame;
}

// A bar under a grid with its save button kept at the right.
QWidget* ButtonBar(const char* name, QPushButton* button) {
    auto* bar = Named(new QWidget, name);
    bar->setFixedHeight(kButtonBarHeight);
    auto* layout = new QHBoxLayout(bar);
    layout->setContentsMargins(0, 4, 2, 4);
    layout->addStretch();
    layout->addWidget(button);
    return bar;
}

}  // namespace

void TMainForm::BuildLayout() {
    auto* central = new QWidget;
    auto* column = new QVBoxLayout(central);
    column->setContentsMargins(0, 0, 0, 0);
    column->setSpacing(0);

    // Banner strip.
    auto* Panel7 = Named(new QWidget, "Panel7");
    Panel7->setFixedHeight(kBannerStripHeight);
    auto* strip = new QHBoxLayout(Panel7);
    strip->setContentsMargins(0, 0, 0, 0);
    strip->setSpacing(0);
    Panel8 = LoweredPanel("Panel8");
    Panel8->setAutoFillBackground(true);
    QPalette bannerPalette = Panel8->palette();
    bannerPalette.setBrush(QPalette::Window, BannerBrush(kBannerStripHeight));
    Panel8->setPalette(bannerPalette);
    Image = Named(new QLabel(Panel8), "Image");
    Image->setPixmap(BannerPicture());
    Image->setGeometry(0, 2, kBannerWidth, kBannerHeight);
    Panel8->installEventFilter(this);
    Image->setCursor(Qt::PointingHandCursor);
    auto* Panel9 = LoweredPanel("Panel9");
    Panel9->setFixedWidth(kClipStripWidth);
    PlayPanel = Named(new QWidget(Panel9), "PlayPanel");
    PlayPanel->setGeometry(2, 2, kClipSize, kClipSize);
    PlayPanel->setAutoFillBackground(true);
    QPalette white = PlayPanel->palette();
    white.setColor(QPalette::Window, Qt::white);
    PlayPanel->setPalette(white);
    PlayPanel->setCursor(Qt::PointingHandCursor);
    Image1 = Named(new QLabel(PlayPanel), "Image1");
    Image1->setPixmap(StaticPicture());
    Image1->setGeometry(0, 0, kClipSize, kClipSize);
    clipScreen_ = new QLabel(PlayPanel);
    clipScreen_->setGeometry(0, 0, kClipSize, kClipSize);
    for (QWidget* clickable :
         {static_cast<QWidget*>(Image), PlayPanel, static_cast<QWidget*>(Image1)})
        clickable->installEventFilter(this);
    strip->addWidget(Panel8, 1);
    strip->addWidget(Panel9);
    column->addWidget(Panel7);

    auto* Panel1 = Named(new QWidget, "Panel1");
    BuildInputStrip(Panel1);
    column->addWidget(Panel1);

    auto* Panel2 = Named(new QWidget, "Panel2");
    BuildResultArea(Panel2);

    LogRichEdit = Named(new QTextEdit, "LogRichEdit");
    LogRichEdit->setReadOnly(true);
    LogRichEdit->setLineWrapMode(QTextEdit::NoWrap);
    LogRichEdit->setAcceptRichText(false);
    LogRichEdit->setHorizontalScrollBarPolicy(Qt::ScrollBarAlwaysOn);
    LogRichEdit->setVerticalScrollBarPolicy(Qt::ScrollBarAlwaysOn);
    LogRichEdit->setToolTip(texts::kLogHint);
    SanSplitter = Named(new QSplitter(Qt::Vertical), "SanSplitter");
    SanSplitter->setHandleWidth(kSplitterWidth);
    SanSplitter->setChildrenCollapsible(false);
    SanSplitter->addWidget(Panel2);
    SanSplitter->addWidget(LogRichEdit);
    SanSplitter->setStretchFactor(0, 1);
    SanSplitter->setStretchFactor(1, 0);
    SanSplitter->setSizes({400, kLogHeight});
    LogRichEdit->hide();
    column->addWidget(SanSplitter, 1);

    setCentralWidget(central);
    BuildStatusBar();
    BuildMenus();
}

void TMainForm::BuildInputStrip(QWidget* panel) {
    // Two rows from layouts, so no control ever covers another: keyword box, "Edit" and the
    // depth above; the engines below; the command button beside both.
    auto* grid = new QGridLayout(panel);
    grid->setContentsMargins(10, 6, 10, 6);
    grid->setHorizontalSpacing(8);
    grid->setVerticalSpacing(6);

    auto* Label1 = Named(new QLabel(texts::kKeyword), "Label1");
    MainKeywordRxDBLookupCombo = Named(new QComboBox, "MainKeywordRxDBLookupCombo");
    MainKeywordRxDBLookupCombo->setEditable(true);
    // A typed keyword joins the history when a run starts, not on every Enter.
    MainKeywordRxDBLookupCombo->setInsertPolicy(QComboBox::NoInsert);
    MainKeywordRxDBLookupCombo->setMaxVisibleItems(kKeywordBoxRows);
    MainKeywordRxDBLookupCombo->setMinimumContentsLength(kKeywordBoxMinChars);
    MainKeywordRxDBLookupCombo->setSizeAdjustPolicy(
        QComboBox::AdjustToMinimumContentsLengthWithIcon);
    MainKeywordRxDBLookupCombo->setSizePolicy(QSizePolicy::Expanding, QSizePolicy::Fixed);
    Label1->setBuddy(MainKeywordRxDBLookupCombo);
    connect(MainKeywordRxDBLookupCombo, &QComboBox::activated, this,
            &TMainForm::KeywordBoxActivated);
    connect(MainKeywordRxDBLookupCombo, &QComboBox::editTextChanged, this,
            &TMainForm::UpdateFindCommand);
    EditTBXButton = Named(new QPushButton(texts::kEdit), "EditTBXButton");
    connect(EditTBXButton, &QPushButton::clicked, this, &TMainForm::EditTBXButtonClick);

    auto* Label4 = Named(new QLabel(texts::kSearchEngine), "Label4");
    engineBoxes_ = Named(new EngineBoxes, "EngineBoxPanel");
    connect(engineBoxes_, &EngineBoxes::TicksChanged, this, &TMainForm::TBXCheckBox1Change);

    auto* Label5 = Named(new QLabel(texts::kResultsToScan), "Label5");
    const std::array<const char*, 3> depthNames{"TBXRadioButton1", "TBXRadioButton2",
                                                "TBXRadioButton3"};
    const std::array<const char*, 3> depthTexts{"10", "20", "30"};
    auto* depths = new QHBoxLayout;
    depths->setSpacing(8);
    for (std::size_t i = 0; i < depthButtons_.size(); ++i) {
        depthButtons_[i] = Named(new QRadioButton(depthTexts[i]), depthNames[i]);
        depths->addWidget(depthButtons_[i]);
    }
    depthButtons_[0]->setChecked(true);

    FindTBXButton = Named(new QPushButton(FindIcon(), texts::kDetectMyTheme), "FindTBXButton");
    FindTBXButton->setMinimumSize(kCommandButtonSize);
    FindTBXButton->setFixedHeight(kCommandButtonSize.height());
    FindTBXButton->setIconSize(QSize(24, 24));
    FindTBXButton->setDefault(true);
    connect(FindTBXButton, &QPushButton::clicked, this,
            [this] { commandIsStop_ ? StopActionExecute() : FindActionExecute(); });
    // The command button is the window's default button.
    for (auto key : {Qt::Key_Return, Qt::Key_Enter}) {
        auto* shortcut = new QShortcut(QKeySequence(key), this);
        connect(shortcut, &QShortcut::activated, FindTBXButton, &QPushButton::click);
    }

    grid->addWidget(Label1, 0, 0);
    grid->addWidget(MainKeywordRxDBLookupCombo, 0, 1);
    grid->addWidget(EditTBXButton, 0, 2);
    grid->addWidget(Label5, 0, 3, Qt::AlignRight | Qt::AlignVCenter);
    grid->addLayout(depths, 0, 4);
    grid->addWidget(Label4, 1, 0);
    grid->addWidget(engineBoxes_, 1, 1, 1, 4);
    grid->addWidget(FindTBXButton, 0, 5, 2, 1, Qt::AlignVCenter);
    grid->setColumnStretch(1, 1);
    panel->setMinimumHeight(kInputStripHeight);
    panel->setSizePolicy(QSizePolicy::Preferred, QSizePolicy::Fixed);
}

void TMainForm::BuildResultArea(QWidget* panel) {
    auto* layout = new QHBoxLayout(panel);
    layout->setContentsMargins(0, 0, 0, 0);
    SanSplitter1 = Named(new QSplitter(Qt::Horizontal), "SanSplitter1");
    SanSplitter1->setHandleWidth(kSplitterWidth);
    SanSplitter1->setChildrenCollapsible(false);
    layout->addWidget(SanSplitter1);

    const auto right = Qt::AlignRight | Qt::AlignVCenter;
    const auto left = Qt::AlignLeft | Qt::AlignVCenter;
    namespace res = data::keywordres_fields;
    namespace res2 = data::keywordres2_fields;
    frequencyModel_ = new TableModel(
        tables_.KeywordResClientDataSet,
        {{std::string(res::Keyword), texts::kKeywordCaption, left, false, TitleIcon(0)},
         {std::string(res::Count), texts::kCountCaption, right, false, TitleIcon(1)}},
        this);
    pagesModel_ = new TableModel(
        tables_.KeywordRes2ClientDataSet,
        {{std::string(res2::Rank), texts::kRankCaption, right, false, TitleIcon(2)},
         {std::string(res2::Url), texts::kWebPageCaption, left, true, TitleIcon(3)},
         {std::string(res2::Keywords), texts::kMetaKeywordsCaption, left, false, TitleIcon(4)},
         {std::string(res2::Sources), texts::kSourcesCaption, left, false, TitleIcon(4)}},
        this);
    pagesModel_->SetEvenRowShade(ShadeColor(palette().color(QPalette::Base)));

    Panel3 = Named(new QWidget, "Panel3");
    Panel3->setMinimumWidth(kLeftPaneMin);
    Panel3->setMaximumWidth(kLeftPaneMax);
    auto* leftColumn = new QVBoxLayout(Panel3);
    leftColumn->setContentsMargins(0, 0, 0, 0);
    leftColumn->setSpacing(0);
    DBGridEh1 = Named(new ResultGrid(frequencyModel_), "DBGridEh1");
    // The columns fit the pane: Keyword takes what Count leaves.
    DBGridEh1->horizontalHeader()->setStretchLastSection(false);
    DBGridEh1->horizontalHeader()->setSectionResizeMode(0, QHeaderView::Stretch);
    DBGridEh1->setHorizontalScrollBarPolicy(Qt::ScrollBarAlwaysOff);
    DBGridEh1->horizontalHeader()->resizeSection(0, 130);
    DBGridEh1->horizontalHeader()->resizeSection(1, 55);
    DBGridEh1->SetFooterTexts({texts::kTotal, QString()});
    DBGridEh1->setItemDelegateForColumn(1, new CountBarDelegate(DBGridEh1));
    TBXButton1 = Named(new QPushButton(texts::kSaveKeywords), "TBXButton1");
    connect(TBXButton1, &QPushButton::clicked, this, &TMainForm::Export1ActionExecute);
    leftColumn->addWidget(DBGridEh1, 1);
    leftColumn->addWidget(DBGridEh1->Footer());
    leftColumn->addWidget(ButtonBar("Panel6", TBXButton1));

    auto* Panel4 = Named(new QWidget, "Panel4");
    auto* rightColumn = new QVBoxLayout(Panel4);
    rightColumn->setContentsMargins(0, 0, 0, 0);
    rightColumn->setSpacing(0);
    DBGridEh2 = Named(new ResultGrid(pagesModel_), "DBGridEh2");
    DBGridEh2->SetTextLines(2);
    DBGridEh2->horizontalHeader()->resizeSection(0, 55);
    DBGridEh2->horizontalHeader()->resizeSection(1, 150);
    DBGridEh2->horizontalHeader()->resizeSection(2, 356);
    DBGridEh2->horizontalHeader()->resizeSection(3, kSourcesColumnWidth);
    // The keyword text takes what the other columns leave; the short sources stay at the right.
    DBGridEh2->horizontalHeader()->setStretchLastSection(false);
    DBGridEh2->horizontalHeader()->setSectionResizeMode(2, QHeaderView::Stretch);
    connect(DBGridEh2, &ResultGrid::ViewportMouseMoved, this, &TMainForm::DBGridEh2MouseMove);
    TBXButton2 = Named(new QPushButton(texts::kSaveMetaKeywords), "TBXButton2");
    connect(TBXButton2, &QPushButton::clicked, this, &TMainForm::Export2ActionExecute);
    rightColumn->addWidget(DBGridEh2, 1);
    rightColumn->addWidget(ButtonBar("Panel5", TBXButton2));

    SanSplitter1->addWidget(Panel3);
    SanSplitter1->addWidget(Panel4);
    SanSplitter1->setStretchFactor(0, 0);
    SanSplitter1->setStretchFactor(1, 1);
    SanSplitter1->setSizes({kLeftPaneMin, 600});
}

void TMainForm::BuildStatusBar() {
    auto* dfsStatusBar = Named(new QStatusBar, "dfsStatusBar");
    dfsStatusBar->setSizeGripEnabled(false);
    statusText_ = Named(new QLabel, "StatusText");
    statusText_->setTextFormat(Qt::PlainText);
    gaugePanel_ = new QWidget;
    gaugePanel_->setFixedWidth(kGaugeWidth);
    auto* gaugeLayout = new QHBoxLayout(gaugePanel_);
    gaugeLayout->setContentsMargins(2, 2, 2, 2);
    gauge_ = new QProgressBar;
    gauge_->setTextVisible(false);
    gauge_->setRange(0, 100);
    gaugeLayout->addWidget(gauge_);
    dfsStatusBar->addWidget(statusText_);
    dfsStatusBar->addPermanentWidget(gaugePanel_);
    setStatusBar(dfsStatusBar);
    SetGaugeEnabled(false);
}

}  // namespace kv::app
