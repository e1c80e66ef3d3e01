#include "shell/FrmSettings.h"

#include "form/FrmMain.h"
#include "form/Named.h"
#include "log/LogDatabase.h"
#include "log/SharedLog.h"
#include "platform/Desktop.h"
#include "platform/Environment.h"
#include "platform/Prompter.h"
#include "platform/SafeFile.h"
#include "shell/IniFile.h"
#include "shell/MenuStyle.h"
#include "shell/ModelessWindow.h"
#include "shell/Settings.h"

#include <QAction>
#include <QCheckBox>
#include <QComboBox>
#include <QCoreApplication>
#include <QDir>
#include <QFile>
#include <QFileInfo>
#include <QGridLayout>
#include <QGroupBox>
#include <QLabel>
#include <QLineEdit>
#include <QListWidget>
#include <QLocale>
#include <QPlainTextEdit>
#include <QPushButton>
#include <QStyle>
#include <QToolButton>
#include <QTreeWidget>
#include <QVBoxLayout>
#include <algorithm>
#include <climits>
#include <cmath>
#include <optional>

namespace {

const QString kTitle = QStringLiteral("Spoolwright");
const QString kLogFile = QStringLiteral("swr.db");

// The seconds a polling setting (milliseconds) stands for; what the poll uses when it
// holds no positive whole number.
QString secondsText(const QString& milliseconds, int inForceMs) {
    bool ok = false;
    const int ms = milliseconds.trimmed().toInt(&ok);
    QLocale locale;
    locale.setNumberOptions(QLocale::OmitGroupSeparator);
    return locale.toString((ok && ms > 0 ? ms : inForceMs) / 1000.0, 'g', 12);
}

// A number as the operator types it: in the system's format ("0,5" in German) or
// with a decimal point.
std::optional<double> numberIn(const QString& text) {
    bool ok = false;
    double value = QLocale().toDouble(text.trimmed(), &ok);
    if (!ok)
        value = QLocale::c().toDouble(text.trimmed(), &ok);
    if (!ok || !std::isfinite(value))
        return std::nullopt;
    return value;
}

QString trueFalse(bool value) {
    return value ? QStringLiteral("True") : QStringLiteral("False");
}

QLabel* caption(const char* text, QWidget* buddy) {
    auto* label = new QLabel(QString::fromLatin1(text));
    label->setBuddy(buddy);
    return label;
}

} // namespace

FrmSettings::FrmSettings(FrmMain& form, std::function<void()> reloadJobView)
    : QDialog(&form), form_(form), reloadJobView_(std::move(reloadJobView)) {
    setObjectName(QStringLiteral("FrmSettings"));
    setWindowTitle(QStringLiteral("Settings - Spoolwright"));
    build();
    wire();
}

void FrmSettings::build() {
    // Polling Rates (s)
    auto* polling = named(new QGroupBox(QStringLiteral("Polling Rates (s)")), "framePolling");
    txtPollNorm = named(new QLineEdit, "txtPollNorm");
    txtPollAQ = named(new QLineEdit, "txtPollAQ");
    txtPollAQactive = named(new QLineEdit, "txtPollAQactive");
    txtPollNorm->setToolTip(QStringLiteral(">= 1s"));
    txtPollAQ->setToolTip(QStringLiteral(">= 1s"));
    txtPollAQactive->setToolTip(QStringLiteral("0.001-1s"));
    auto* pollingGrid = new QGridLayout(polling);
    pollingGrid->addWidget(caption("Normal", txtPollNorm), 0, 0);
    pollingGrid->addWidget(txtPollNorm, 0, 1);
    pollingGrid->addWidget(caption("AutoQueue", txtPollAQ), 1, 0);
    pollingGrid->addWidget(txtPollAQ, 1, 1);
    pollingGrid->addWidget(caption("Active AQ", txtPollAQactive), 2, 0);
    pollingGrid->addWidget(txtPollAQactive, 2, 1);
    auto* warning = new QLabel(QStringLiteral("Adjusting rates affects AutoQueue performance!"));
    warning->setWordWrap(true);
    pollingGrid->addWidget(warning, 3, 0, 1, 2);

    txtExceptions = named(new QLineEdit, "txtExceptions");

    // Held Jobs
    auto* held = named(new QGroupBox(QStringLiteral("Held Jobs")), "frameHeldJobs");
    txtExpireHeldAfter = named(new QLineEdit, "txtExpireHeldAfter");
    txtExpireHeldAfter->setToolTip(QStringLiteral("Minutes; 0 keeps held jobs"));
    chkNotifyAttention =
        named(new QCheckBox(QStringLiteral("Notify when a printer needs attention")),
              "chkNotifyAttention");
    txtNotifyHeldAfter = named(new QLineEdit, "txtNotifyHeldAfter");
    txtNotifyHeldAfter->setToolTip(QStringLiteral("Minutes; 0 sends none"));
    auto* heldGrid = new QGridLayout(held);
    heldGrid->addWidget(caption("Delete jobs held longer than (min)", txtExpireHeldAfter), 0, 0);
    heldGrid->addWidget(txtExpireHeldAfter, 0, 1);
    heldGrid->addWidget(chkNotifyAttention, 1, 0, 1, 2);
    heldGrid->addWidget(caption("Notify of jobs held longer than (min)", txtNotifyHeldAfter), 2, 0);
    heldGrid->addWidget(txtNotifyHeldAfter, 2, 1);

    // Display Settings
    auto* display = named(new QGroupBox(QStringLiteral("Display Settings")), "frameDisplay");
    chkStartMax = named(new QCheckBox(QStringLiteral("Start Maximised")), "chkStartMax");
    cmbGridFontSize = named(new QComboBox, "cmbGridFontSize");
    cmbGridFontSize->setEditable(true);
    cmbGridFontSize->addItems({"7.50", "8.25", "9.00", "9.50", "9.75", "10.50", "11.25", "12.00",
                               "12.75", "13.50", "14.25", "15.00"});
    cmbGridFontSize->setToolTip(QStringLiteral("Select Font Size"));
    chkShowErrors = named(new QCheckBox(QStringLiteral("Popup on Printer Error")), "chkShowErrors");
    cmbSimpleView = named(new QComboBox, "cmbSimpleView");
    cmbSimpleView->addItems({"Full Menu", "Classic Menu", "Simple Menu", "Help Menu", "No Menu"});
    cmbSimpleView->setCurrentIndex(-1);
    cmbSimpleView->setToolTip(QStringLiteral("Select Menu Style"));
    chkWMISearch = named(new QCheckBox(QStringLiteral("Show ServerView")), "chkWMISearch");
    auto* displayGrid = new QGridLayout(display);
    displayGrid->addWidget(chkStartMax, 0, 0, 1, 2);
    displayGrid->addWidget(caption("Font Size", cmbGridFontSize), 1, 0);
    displayGrid->addWidget(cmbGridFontSize, 1, 1);
    displayGrid->addWidget(chkShowErrors, 2, 0, 1, 2);
    displayGrid->addWidget(cmbSimpleView, 3, 0, 1, 2);
    displayGrid->addWidget(chkWMISearch, 4, 0, 1, 2);

    // Queue Actions
    auto* actions = named(new QGroupBox(QStringLiteral("Queue Actions")), "frameQueueActions");
    chkQuickAction = named(new QCheckBox(QStringLiteral("Quick Action Menu or")), "chkQuickAction");
    lstJobAction = named(new QListWidget, "lstJobAction");
    lstJobAction->addItems({QStringLiteral("Print"), QStringLiteral("Delete")});
    lstJobAction->setToolTip(QStringLiteral("Select Default Grid Action"));
    lstJobAction->setFixedHeight(lstJobAction->sizeHintForRow(0) * 2 +
                                 2 * lstJobAction->frameWidth() + 2);
    lstJobAction->setEnabled(false);
    chkQAHideAll =
        named(new QCheckBox(QStringLiteral("Hide Print All and Delete All")), "chkQAHideAll");
    chkQAHideAll->setEnabled(false);
    auto* actionsGrid = new QGridLayout(actions);
    actionsGrid->addWidget(chkQuickAction, 0, 0, Qt::AlignTop);
    actionsGrid->addWidget(lstJobAction, 0, 1);
    actionsGrid->addWidget(chkQAHideAll, 1, 0, 1, 2);

    // Reports
    auto* reports = named(new QGroupBox(QStringLiteral("Reports")), "frameReports");
    txtReportPath = named(new QLineEdit, "txtReportPath");
    cmdReportPath = named(new QToolButton, "cmdReportPath");
    cmdReportPath->setIcon(style()->standardIcon(QStyle::SP_DirOpenIcon));
    cmdReportPath->setToolTip(QStringLiteral("Select Report Path"));
    txtCompany = named(new QLineEdit, "txtCompany");
    txtTagline = named(new QPlainTextEdit, "txtTagline");
    txtTagline->setFixedHeight(txtTagline->fontMetrics().lineSpacing() * 6);
    auto* reportsGrid = new QGridLayout(reports);
    reportsGrid->addWidget(caption("Report Path", txtReportPath), 0, 0);
    reportsGrid->addWidget(txtReportPath, 0, 1);
    reportsGrid->addWidget(cmdReportPath, 0, 2);
    reportsGrid->addWidget(caption("Company", txtCompany), 1, 0);
    reportsGrid->addWidget(txtCompany, 1, 1, 1, 2);
    reportsGrid->addWidget(caption("Tagline", txtTagline), 2, 0, Qt::AlignTop);
    reportsGrid->addWidget(txtTagline, 2, 1, 1, 2);

    // Log
    auto* log = named(new QGroupBox(QStringLiteral("Log")), "frameLog");
    chkAudit = named(new QCheckBox(QStringLiteral("Audit Log")), "chkAudit");
    txtLogPath = named(new QLineEdit, "txtLogPath");
    txtLogPath->setToolTip(QStringLiteral("The folder of this station's log, or the address of "
                                          "a log the site shares: "
                                          "postgresql://host[:port]/database?user=name"));
    cmdLogPath = named(new QToolButton, "cmdLogPath");
    cmdLogPath->setIcon(style()->standardIcon(QStyle::SP_DirOpenIcon));
    cmdLogPath->setToolTip(QStringLiteral("Select Log Path"));
    cmdClear = named(new QPushButton(QStringLiteral("Reset Log")), "cmdClear");
    cmdClear->setToolTip(QStringLiteral("Delete or Archive log file"));
    auto* logGrid = new QGridLayout(log);
    logGrid->addWidget(chkAudit, 0, 0, 1, 2);
    logGrid->addWidget(cmdClear, 0, 2, Qt::AlignRight);
    logGrid->addWidget(caption("Log Path", txtLogPath), 1, 0);
    logGrid->addWidget(txtLogPath, 1, 1);
    logGrid->addWidget(cmdLogPath, 1, 2);

    cmdReset = named(new QPushButton(QStringLiteral("Reset Settings")), "cmdReset");
    cmdReset->setToolTip(QStringLiteral("Clear configuration"));
    cmdClose = named(new QPushButton(QStringLiteral("Save")), "cmdClose");
    cmdClose->setDefault(true);

    auto* left = new QVBoxLayout;
    left->addWidget(polling);
    left->addWidget(display);
    left->addWidget(actions);
    left->addStretch();
    auto* right = new QVBoxLayout;
    auto* exceptions = new QHBoxLayout;
    exceptions->addWidget(caption("User Exceptions", txtExceptions));
    exceptions->addWidget(txtExceptions);
    right->addLayout(exceptions);
    right->addWidget(held);
    right->addWidget(reports);
    right->addWidget(log);
    right->addStretch();
    auto* columns = new QHBoxLayout;
    columns->addLayout(left, 1);
    columns->addLayout(right, 2);
    auto* buttons = new QHBoxLayout;
    buttons->addWidget(cmdReset);
    buttons->addStretch();
    buttons->addWidget(cmdClose);
    auto* window = new QVBoxLayout(this);
    window->addLayout(columns);
    window->addLayout(buttons);
}

void FrmSettings::wire() {
    connect(cmdClose, &QPushButton::clicked, this, [this] { cmdClose_Click(); });
    connect(cmbSimpleView, &QComboBox::activated, this, [this] { cmbSimpleView_Click(); });
    // Ticking a box from code runs its handler as the operator's click does.
    connect(chkQuickAction, &QCheckBox::toggled, this, [this] { chkQuickAction_Click(); });
    connect(chkQAHideAll, &QCheckBox::toggled, this, [this] { chkQAHideAll_Click(); });
    connect(cmdLogPath, &QToolButton::clicked, this, [this] { cmdLogPath_Click(); });
    connect(cmdReportPath, &QToolButton::clicked, this, [this] { cmdReportPath_Click(); });
    connect(cmdClear, &QPushButton::clicked, this, [this] { cmdClear_Click(); });
    connect(cmdReset, &QPushButton::clicked, this, [this] { cmdReset_Click(); });
}

void FrmSettings::Form_Load() {
    const SettingsRecord& s = form_.Settings;
    cmbGridFontSize->setEditText(QString::number(form_.JobList->font().pointSizeF(), 'f', 2));
    chkShowErrors->setChecked(settingIsTrue(s.ShowErrors));
    chkStartMax->setChecked(settingIsTrue(s.StartMax));
    txtPollNorm->setText(secondsText(s.PollNorm, 10000));
    txtPollAQ->setText(secondsText(s.PollAQ, 6000));
    txtPollAQactive->setText(secondsText(s.PollAQactive, 10));
    chkQuickAction->setChecked(s.QuickAction == 1);
    const QList<QListWidgetItem*> action = lstJobAction->findItems(s.JobAction, Qt::MatchExactly);
    lstJobAction->setCurrentItem(action.isEmpty() ? nullptr : action.first());
    chkQAHideAll->setChecked(s.QAHideAllButtons);
    if (s.QuickAction == 0)
        lstJobAction->setEnabled(true);
    txtExceptions->setText(s.Exceptions);
    txtExpireHeldAfter->setText(QString::number(std::max(s.ExpireHeldAfter, 0)));
    chkNotifyAttention->setChecked(s.notifyPrinterAttention);
    txtNotifyHeldAfter->setText(QString::number(std::max(s.notifyHeldAfter, 0)));
    txtReportPath->setText(s.ReportPath);
    if (!s.SimpleView.isEmpty())
        cmbSimpleView->setCurrentIndex(cmbSimpleView->findText(s.SimpleView));
    if (!s.Company.isEmpty())
        txtCompany->setText(s.Company);
    if (!s.Tagline.isEmpty())
        txtTagline->setPlainText(s.Tagline);
    txtLogPath->setText(s.LogPath);
    chkWMISearch->setChecked(settingIsTrue(s.ShowServerView));
    chkAudit->setChecked(s.Audit);
}

void FrmSettings::fail(const QString& text) {
    form_.services().prompter->message(kTitle, text, Prompter::Icon::Critical);
}

bool FrmSettings::readRate(const QLineEdit* box, double* seconds) {
    const std::optional<double> value = numberIn(box->text());
    // A rate the poll's timer cannot hold in milliseconds is no rate either.
    if (!value || std::fabs(*value) * 1000.0 > INT_MAX) {
        fail(QStringLiteral("An Error Occurred. Please check your polling rates."));
        return false;
    }
    *seconds = *value;
    return true;
}

bool FrmSettings::readMinutes(const QLineEdit* box, int* minutes) {
    bool ok = false;
    const int value = box->text().trimmed().toInt(&ok);
    if (!ok || value < 0) {
        fail(QStringLiteral("Minutes must be a whole number, 0 or more."));
        return false;
    }
    *minutes = value;
    return true;
}

// A shared log's address is tried before it is kept, as a wrong one would leave every
// row waiting; one that cannot be reached now may be kept when the operator says so.
bool FrmSettings::logPathAccepted() {
    const QString logPath = txtLogPath->text().trimmed();
    if (!SharedLog::isSharedLogPath(logPath))
        return true;
    QString whyNot;
    const std::optional<SharedLog::Address> address = SharedLog::addressOf(logPath, &whyNot);
    if (!address) {
        fail(whyNot);
        return false;
    }
    if (SharedLog::reach(*address, SharedLog::kStatementLimitMs, &whyNot))
        return true;
    return form_.services().prompter->message(
               kTitle,
               whyNot + QStringLiteral("\n\nKeep this log path anyway? Until the shared log can "
                                       "be reached, its rows wait on this station."),
               Prompter::Icon::Exclamation, Prompter::Buttons::YesNo) == Prompter::Answer::Yes;
}

void FrmSettings::cmdClose_Click() {
    if (!logPathAccepted())
        return;
    SettingsRecord& s = form_.Settings;
    const std::optional<double> points = numberIn(cmbGridFontSize->currentText());
    // A size the grid cannot be read at is taken as no size: the grid keeps its own.
    if (points && *points >= kLeastFontPoints && *points <= kMostFontPoints) {
        QFont font = form_.JobList->font();
        font.setPointSizeF(*points);
        form_.JobList->setFont(font);
    }
    s.ShowErrors = trueFalse(chkShowErrors->isChecked());
    s.StartMax = trueFalse(chkStartMax->isChecked());

    auto milliseconds = [](double seconds) {
        return QString::number(std::llround(seconds * 1000));
    };
    double rate = 0;
    if (!readRate(txtPollNorm, &rate))
        return;
    if (rate < 1)
        return fail(QStringLiteral("Normal polling rate must be greater than 1s."));
    s.PollNorm = milliseconds(rate);
    if (!readRate(txtPollAQ, &rate))
        return;
    if (rate < 1)
        return fail(QStringLiteral("AutoQueue polling rate must be greater than 1s."));
    s.PollAQ = milliseconds(rate);
    if (!readRate(txtPollAQactive, &rate))
        return;
    if (rate < 0.001 || rate > 1)
        return fail(QStringLiteral("Active AutoQueue polling rate must be between 0.001 and 1s."));
    s.PollAQactive = milliseconds(rate);
    int expireAfter = 0;
    int notifyAfter = 0;
    if (!readMinutes(txtExpireHeldAfter, &expireAfter) ||
        !readMinutes(txtNotifyHeldAfter, &notifyAfter))
        return;
    s.ExpireHeldAfter = expireAfter;
    s.notifyHeldAfter = notifyAfter;
    s.notifyPrinterAttention = chkNotifyAttention->isChecked();

    s.QuickAction = chkQuickAction->isChecked() ? 1 : 0;
    s.JobAction = lstJobAction->currentItem() ? lstJobAction->currentItem()->text() : QString();
    s.Exceptions = txtExceptions->text();
    s.ReportPath = txtReportPath->text();
    s.LogPath = txtLogPath->text();
    s.SimpleView = cmbSimpleView->currentText();
    s.Company = txtCompany->text();
    s.Tagline = txtTagline->toPlainText();
    s.Audit = chkAudit->isChecked();

    form_.menu(QStringLiteral("mnuSearch"))->setVisible(chkWMISearch->isChecked());
    s.ShowServerView = trueFalse(chkWMISearch->isChecked());
    form_.log().WriteAudit(QStringLiteral("Program"), QStringLiteral("Settings Updated."));
    close();
}

void FrmSettings::cmbSimpleView_Click() {
    form_.Settings.SimpleView = cmbSimpleView->currentText();
    if (form_.Settings.SimpleView == QLatin1String("Help Menu") ||
        form_.Settings.SimpleView == QLatin1String("No Menu"))
        form_.services().prompter->message(
            kTitle,
            QStringLiteral("When no Settings option is shown in the File menu only a local "
                           "administrator can access the full menu to change settings. You can "
                           "temporarily enable the menus using the '/menu:Full' command line "
                           "parameter. See Help for more information"),
            Prompter::Icon::None);
    SwSimpleView(form_);
}

void FrmSettings::chkQuickAction_Click() {
    const bool ticked = chkQuickAction->isChecked();
    lstJobAction->setEnabled(!ticked);
    chkQAHideAll->setEnabled(ticked);
}

void FrmSettings::chkQAHideAll_Click() {
    form_.Settings.QAHideAllButtons = chkQAHideAll->isChecked();
}

QString FrmSettings::chooseFolder(const QString& title, const QString& startFolder) {
    Desktop* desktop = form_.services().desktop;
    return desktop ? desktop->existingDirectory(this, title, startFolder) : QString();
}

void FrmSettings::cmdLogPath_Click() {
    const QString oldFolder = txtLogPath->text();
    const QString chosen =
        chooseFolder(QStringLiteral("Select a directory for Spoolwright Log Files"), oldFolder);
    if (chosen.isEmpty())
        return;
    txtLogPath->setText(QDir::toNativeSeparators(chosen));
    // The log goes with the folder: a copy of it waits there for the Save that moves
    // the log. A log the new folder holds already is kept.
    const QString oldLog = QDir(oldFolder).filePath(kLogFile);
    const QString newLog = QDir(chosen).filePath(kLogFile);
    if (oldFolder.isEmpty() || !QFileInfo::exists(oldLog) || QFileInfo::exists(newLog) ||
        QFileInfo(oldLog) == QFileInfo(newLog))
        return;
    form_.log().CloseLogDatabase();
    QFile source(oldLog);
    if (source.open(QIODevice::ReadOnly))
        SafeFile::replaceFileContents(newLog, source.readAll());
}

void FrmSettings::cmdReportPath_Click() {
    const QString chosen = chooseFolder(
        QStringLiteral("Select a directory for Spoolwright HTML Reports"), txtReportPath->text());
    if (!chosen.isEmpty())
        txtReportPath->setText(QDir::toNativeSeparators(chosen));
}

void FrmSettings::cmdClear_Click() {
    if (form_.services().prompter->message(
            QStringLiteral("Warning"),
            QStringLiteral("Are you sure you want to reset \r\nthe job and audit logs?"),
            Prompter::Icon::Critical, Prompter::Buttons::YesNo) != Prompter::Answer::Yes)
        return;
    if (form_.log().ResetLogDatabase() && reloadJobView_)
        reloadJobView_();
}

void FrmSettings::cmdReset_Click() {
    if (form_.services().prompter->message(
            QStringLiteral("Warning"),
            QStringLiteral("Are you sure you want to delete \r\n all favourites and settings?"),
            Prompter::Icon::Critical, Prompter::Buttons::YesNo) != Prompter::Answer::Yes)
        return;
    QCoreApplication::processEvents();
    // The favourites and the page counters live in swr.ini too.
    QFile::remove(settingsFilePath(*form_.services().environment));
    QFile::remove(HistoryFilePath(*form_.services().environment));
    // Shutdown writes neither file back, so the new copy starts from the defaults.
    form_.settingsDeleted = true;
    if (form_.services().startNewCopy)
        form_.services().startNewCopy();
    form_.log().WriteAudit(QStringLiteral("Program"), QStringLiteral("Settings Reset."));
    close();
    form_.close();
}

FrmSettings* openFrmSettings(FrmMain& form, std::function<void()> reloadJobView) {
    return showModeless<FrmSettings>(form, QStringLiteral("FrmSettings"), [&] {
        auto* dialog = new FrmSettings(form, std::move(reloadJobView));
        dialog->Form_Load();
        return dialog;
    });
}
