#include "form/PanelControls.h"

#include "form/FrmMain.h"
#include "form/Named.h"
#include "form/PanelFrame.h"
#include "form/Twips.h"

#include <QCheckBox>
#include <QComboBox>
#include <QFrame>
#include <QGridLayout>
#include <QHBoxLayout>
#include <QLabel>
#include <QLineEdit>
#include <QPainter>
#include <QPushButton>
#include <QRadioButton>
#include <QStyle>
#include <QTextBrowser>
#include <QToolButton>
#include <QTreeWidget>
#include <QVBoxLayout>
#include <cmath>

namespace {

QLineEdit* readOnlyBox(QWidget* parent, const char* name) {
    auto* box = named(new QLineEdit(parent), name);
    box->setReadOnly(true);
    return box;
}

QToolButton* imageButton(QWidget* parent, const char* name, QStyle::StandardPixmap pixmap,
                         const QString& tip) {
    auto* button = named(new QToolButton(parent), name);
    button->setIcon(parent->style()->standardIcon(pixmap));
    button->setToolTip(tip);
    button->setAutoRaise(true);
    return button;
}

// A gold star, the picture that adds the queue to the favourites; the style's own
// pictures have none that says so.
QIcon favouriteStar() {
    constexpr int kSize = 32;
    constexpr double kPi = 3.14159265358979323846;
    QPixmap pixmap(kSize, kSize);
    pixmap.fill(Qt::transparent);
    QPainter painter(&pixmap);
    painter.setRenderHint(QPainter::Antialiasing);
    QPolygonF star;
    for (int point = 0; point < 10; ++point) {
        const double radius = point % 2 ? 6.5 : 15.0;
        const double angle = -kPi / 2 + point * kPi / 5;
        star << QPointF(kSize / 2.0 + radius * std::cos(angle),
                        kSize / 2.0 + 1 + radius * std::sin(angle));
    }
    painter.setPen(QPen(QColor(150, 100, 0), 1.5));
    painter.setBrush(QColor(255, 200, 0));
    painter.drawPolygon(star);
    return QIcon(pixmap);
}

void buildSearchPanel(FrmMain& f, QWidget* client) {
    f.PrintQueue =
        new PanelFrame(QStringLiteral("PrintQueue"), QStringLiteral("Print Queue"), client);
    f.PrintQueue->setGeometryTwips(120, 0, 4095, 1335);
    QWidget* body = f.PrintQueue->body();
    f.CurrentPrinter = named(new QComboBox(body), "CurrentPrinter");
    f.CurrentPrinter->setEditable(true);
    f.CurrentPrinter->setInsertPolicy(QComboBox::NoInsert);
    f.CurrentPrinter->setToolTip(QStringLiteral("Print server"));
    f.FindPrintQueues =
        named(new QPushButton(QStringLiteral("Refresh Printer Queues"), body), "FindPrintQueues");
    f.CurrentPrintQueue = named(new QComboBox(body), "CurrentPrintQueue");
    f.CurrentPrintQueue->setToolTip(QStringLiteral("Print queue"));
    f.LabelPrintQueues = named(new QLabel(body), "LabelPrintQueues");
    f.FindComputers =
        named(new QPushButton(QStringLiteral("Find Print Servers"), body), "FindComputers");
    f.FindComputers->setToolTip(QStringLiteral("Search the network for print servers"));
    auto* grid = new QGridLayout(body);
    grid->setContentsMargins(0, 0, 0, 0);
    grid->setVerticalSpacing(3);
    grid->addWidget(f.CurrentPrinter, 0, 0);
    grid->addWidget(f.FindPrintQueues, 0, 1);
    grid->addWidget(f.CurrentPrintQueue, 1, 0);
    grid->addWidget(f.LabelPrintQueues, 1, 1);
    grid->addWidget(f.FindComputers, 2, 1);
    grid->setColumnStretch(0, 1);
    grid->setRowStretch(3, 1);
    f.CurrentPrinter->lineEdit()->setPlaceholderText(QStringLiteral("Print server"));
    QFont small = f.LabelPrintQueues->font();
    small.setPointSizeF(small.pointSizeF() * 0.85);
    f.LabelPrintQueues->setFont(small);
    f.FindPrintQueues->setFont(small); // leaves the server box room for "host:port"
    f.FindComputers->setFont(small);
}

void buildQueueInfoPanel(FrmMain& f, QWidget* client) {
    f.frmQueueInfo =
        new PanelFrame(QStringLiteral("frmQueueInfo"), QStringLiteral("Queue Information"), client);
    f.frmQueueInfo->setGeometryTwips(120, 1155, 4095, 1500);
    QWidget* body = f.frmQueueInfo->body();
    f.txtLocation = readOnlyBox(body, "txtLocation");
    f.txtDescription = readOnlyBox(body, "txtDescription");
    f.txtModel = readOnlyBox(body, "txtModel");
    f.txtPrintPath = readOnlyBox(body, "txtPrintPath");
    f.txtPrintStatus = readOnlyBox(body, "txtPrintStatus");
    f.cmdTestPage = named(new QPushButton(QStringLiteral("Print Test Page"), body), "cmdTestPage");
    f.cmdPrintProperty =
        named(new QPushButton(QStringLiteral("Printer Properties"), body), "cmdPrintProperty");
    auto* grid = new QGridLayout(body);
    grid->setContentsMargins(0, 0, 0, 0);
    grid->setSpacing(2);
    grid->addWidget(f.txtLocation, 0, 0);
    grid->addWidget(f.txtDescription, 0, 1);
    grid->addWidget(f.txtModel, 1, 0);
    grid->addWidget(f.txtPrintPath, 1, 1);
    grid->addWidget(f.txtPrintStatus, 2, 0, 1, 2);
    auto* buttons = new QHBoxLayout;
    buttons->addWidget(f.cmdTestPage);
    buttons->addWidget(f.cmdPrintProperty);
    grid->addLayout(buttons, 3, 0, 1, 2);
    for (QLineEdit* box : {f.txtLocation, f.txtDescription, f.txtModel, f.txtPrintPath})
        f.frmQueueInfo->borderWhenOver(box);
    f.txtLocation->setPlaceholderText(QStringLiteral("Location"));
    f.txtDescription->setPlaceholderText(QStringLiteral("Description"));
    f.txtModel->setPlaceholderText(QStringLiteral("Model"));
    f.txtPrintPath->setPlaceholderText(QStringLiteral("Path"));
    f.txtPrintStatus->setPlaceholderText(QStringLiteral("Status"));
}

void buildQueueControlPanel(FrmMain& f, QWidget* client) {
    f.frmQueueControl =
        new PanelFrame(QStringLiteral("frmQueueControl"), QStringLiteral("Queue Control"), client);
    f.frmQueueControl->setGeometryTwips(4320, 0, 3495, 2655);
    QWidget* body = f.frmQueueControl->body();
    f.cmdRefreshJobs =
        named(new QPushButton(QStringLiteral("Reload Jobs"), body), "cmdRefreshJobs");
    f.chkAutoQueue = named(new QCheckBox(QStringLiteral("AutoQueue"), body), "chkAutoQueue");
    f.chkTimed = named(new QCheckBox(QStringLiteral("AutoRelease"), body), "chkTimed");
    f.chkAA = named(new QCheckBox(QStringLiteral("AutoActivate"), body), "chkAA");
    for (QCheckBox* box : {f.chkAutoQueue, f.chkTimed, f.chkAA}) {
        box->setAutoFillBackground(true);
        box->setStyleSheet(
            QStringLiteral("QCheckBox { background: rgb(192,255,192); color: navy; padding: 2px; }"
                           "QCheckBox:checked { background: rgb(255,0,0); color: white; }"));
    }
    f.txtTimed = named(new QLineEdit(QStringLiteral("5:00 PM"), body), "txtTimed");
    f.txtTimed->setToolTip(QStringLiteral("Must be h:mm AM/PM"));
    f.txtTimed->setMaximumWidth(Twips::toPixels(900));
    f.optTimed[0] = named(new QRadioButton(QStringLiteral("Print Jobs"), body), "optTimed0");
    f.optTimed[1] = named(new QRadioButton(QStringLiteral("Delete Jobs"), body), "optTimed1");
    // Each picture shows the queue's state and switches it: the play picture of a
    // running queue pauses it, the pause picture of a paused one resumes it.
    f.imgPause =
        imageButton(body, "imgPause", QStyle::SP_MediaPause, QStringLiteral("Resume Printer"));
    f.imgPlay = imageButton(body, "imgPlay", QStyle::SP_MediaPlay, QStringLiteral("Pause Printer"));
    f.imgFavourite = imageButton(body, "imgFavourite", QStyle::SP_DialogYesButton,
                                 QStringLiteral("Add Favourite"));
    f.imgFavourite->setIcon(favouriteStar());
    f.LabelPrintJobs = named(new QLabel(body), "LabelPrintJobs");
    f.ActiveUpdate = named(new QFrame(body), "ActiveUpdate");
    f.ActiveUpdate->setFixedSize(12, 12);
    f.ActiveUpdate->setStyleSheet(QStringLiteral("background: rgb(0,255,0); border-radius: 6px;"));

    auto* grid = new QGridLayout(body);
    grid->setContentsMargins(0, 0, 0, 0);
    grid->setVerticalSpacing(3);
    grid->addWidget(f.cmdRefreshJobs, 0, 0, 1, 2);
    grid->addWidget(f.ActiveUpdate, 0, 2, Qt::AlignCenter);
    grid->addWidget(f.chkAutoQueue, 1, 0, 1, 3);
    grid->addWidget(f.chkTimed, 2, 0);
    grid->addWidget(f.txtTimed, 2, 1, 1, 2);
    auto* options = new QHBoxLayout;
    options->addWidget(f.optTimed[0]);
    options->addWidget(f.optTimed[1]);
    grid->addLayout(options, 3, 0, 1, 3);
    grid->addWidget(f.chkAA, 4, 0, 1, 3);
    auto* images = new QHBoxLayout;
    images->addWidget(f.imgPause);
    images->addWidget(f.imgPlay);
    images->addWidget(f.imgFavourite);
    images->addStretch();
    images->addWidget(f.LabelPrintJobs);
    grid->addLayout(images, 5, 0, 1, 3);
    grid->setRowStretch(6, 1);
}

void buildFavouritesPanel(FrmMain& f, QWidget* client) {
    f.FrameFavourites =
        new PanelFrame(QStringLiteral("FrameFavourites"), QStringLiteral("Favourites"), client);
    f.FrameFavourites->setGeometryTwips(7920, 0, 2010, 2655);
    QWidget* body = f.FrameFavourites->body();
    auto* grid = new QGridLayout(body);
    grid->setContentsMargins(0, 0, 0, 0);
    grid->setSpacing(2);
    for (int slot = 0; slot < 20; ++slot) {
        auto* button = new QPushButton(QString::number(slot + 1), body);
        button->setObjectName(QStringLiteral("favbutton%1").arg(slot));
        button->setFixedSize(Twips::toPixels(450), Twips::toPixels(360));
        button->hide();
        grid->addWidget(button, slot / 4, slot % 4);
        f.favbutton[static_cast<std::size_t>(slot)] = button;
    }
    grid->setRowStretch(5, 1);
}

void buildNetworkPanel(FrmMain& f, QWidget* client) {
    f.frmServer = new PanelFrame(QStringLiteral("frmServer"), QStringLiteral("Network"), client);
    f.frmServer->setGeometryTwips(7920, 0, 4095, 2655);
    QWidget* body = f.frmServer->body();
    f.WebServer = named(new QTextBrowser(body), "WebServer");
    f.frmServer->borderWhenOver(f.WebServer->viewport());
    const std::pair<const char*, const char*> buttons[] = {{"Image2", "Print Server Shares"},
                                                           {"Image3", "My Computer Shares"},
                                                           {"Image4", "Back"},
                                                           {"Image5", "Forward"}};
    const QStyle::StandardPixmap pictures[] = {QStyle::SP_DriveNetIcon, QStyle::SP_ComputerIcon,
                                               QStyle::SP_ArrowBack, QStyle::SP_ArrowForward};
    auto* column = new QVBoxLayout;
    for (std::size_t i = 0; i < 4; ++i) {
        f.networkButtons[i] = imageButton(body, buttons[i].first, pictures[i],
                                          QString::fromLatin1(buttons[i].second));
        column->addWidget(f.networkButtons[i]);
    }
    column->addStretch();
    auto* row = new QHBoxLayout(body);
    row->setContentsMargins(0, 0, 0, 0);
    row->addLayout(column);
    row->addWidget(f.WebServer, 1);
}

void buildUpdatesPanel(FrmMain& f, QWidget* client) {
    f.frmOnline = new PanelFrame(QStringLiteral("frmOnline"), QStringLiteral("Updates"), client);
    f.frmOnline->setGeometryTwips(12120, 0, 2010, 2655);
    QWidget* body = f.frmOnline->body();
    f.WebVersion = named(new QTextBrowser(body), "WebVersion");
    f.lblWebsite = named(new QLabel(body), "lblWebsite");
    QFont small = f.lblWebsite->font();
    small.setPointSizeF(small.pointSizeF() * 0.78); // the whole address fits the narrow panel
    f.lblWebsite->setFont(small);
    f.mnuUpdate = named(new QPushButton(QStringLiteral("Update"), body), "mnuUpdate");
    auto* column = new QVBoxLayout(body);
    column->setContentsMargins(0, 0, 0, 0);
    column->addWidget(new QLabel(QStringLiteral("Version Information"), body));
    column->addWidget(f.WebVersion, 1);
    column->addWidget(f.lblWebsite);
    column->addWidget(f.mnuUpdate);
}

void buildServerView(FrmMain& f, QWidget* client) {
    f.FrameSearch = new PanelFrame(QStringLiteral("FrameSearch"), QStringLiteral("Search"), client);
    f.FrameSearch->setGeometryTwips(2280, 2760, 10335, 3255);
    f.FrameSearch->setAutoFillBackground(true);
    QWidget* body = f.FrameSearch->body();
    f.SearchStatus = named(new QLabel(body), "SearchStatus");
    f.ServerStatus = named(new QLabel(body), "ServerStatus");
    f.SearchProgress = named(new QFrame(body), "SearchProgress");
    f.SearchProgress->setFixedSize(Twips::toPixels(240), Twips::toPixels(240));
    auto* top = new QHBoxLayout;
    top->addWidget(f.SearchStatus, 1);
    top->addWidget(f.ServerStatus, 1);
    top->addWidget(f.SearchProgress);
    auto* column = new QVBoxLayout(body);
    column->setContentsMargins(0, 0, 0, 0);
    column->addLayout(top);
    column->addStretch();
    // The grid is placed by the layout routine, not by the box layout.
    f.SearchList->setParent(body);
    f.SearchList->move(0, Twips::toPixels(360));
}

} // namespace

void buildPanels(FrmMain& f) {
    QWidget* client = f.centralWidget();
    buildSearchPanel(f, client);
    buildQueueInfoPanel(f, client);
    buildQueueControlPanel(f, client);
    buildFavouritesPanel(f, client);
    buildNetworkPanel(f, client);
    buildUpdatesPanel(f, client);
    buildServerView(f, client);
}
