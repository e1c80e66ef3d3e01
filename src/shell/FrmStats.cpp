#include "shell/FrmStats.h"

#include "form/FrmMain.h"
#include "form/Named.h"
#include "log/LogDatabase.h"
#include "log/LogStatistics.h"
#include "platform/Clock.h"
#include "platform/Desktop.h"
#include "platform/Prompter.h"
#include "shell/LogExport.h"
#include "shell/ModelessWindow.h"
#include "shell/PageCounters.h"

#include <QBarSeries>
#include <QBarSet>
#include <QCategoryAxis>
#include <QChart>
#include <QChartView>
#include <QGridLayout>
#include <QGroupBox>
#include <QHBoxLayout>
#include <QLabel>
#include <QLocale>
#include <QPushButton>
#include <QUrl>
#include <QVBoxLayout>
#include <QValueAxis>
#include <algorithm>

namespace {

constexpr int kChartDays = 30;

// A saving with two decimals in the system's number format, and "%".
QString percent(double value) {
    return QLocale().toString(value, 'f', 2) + QLatin1Char('%');
}

// What share of the pages the program managed were deleted; nothing while none were.
QString savingText(qint64 printed, qint64 deleted) {
    if (deleted <= 0)
        return QString();
    return percent(100.0 * double(deleted) / double(printed + deleted));
}

QString shortDate(const QDateTime& when) {
    return when.isValid() ? when.date().toString(QStringLiteral("yyyy-MM-dd")) : QString();
}

QLabel* label(const char* name, const char* designCaption) {
    return named(new QLabel(QString::fromLatin1(designCaption)), name);
}

QPushButton* button(const char* name, const char* caption, const char* tip = nullptr) {
    auto* b = named(new QPushButton(QString::fromLatin1(caption)), name);
    if (tip)
        b->setToolTip(QString::fromLatin1(tip));
    return b;
}

} // namespace

FrmStats::FrmStats(FrmMain& form) : QDialog(&form), form_(form) {
    setObjectName(QStringLiteral("FrmStats"));
    setWindowTitle(QStringLiteral("Statistics - Spoolwright"));
    build();
    connect(cmdRefreshStats, &QPushButton::clicked, this, [this] { cmdRefreshStats_Click(); });
    connect(cmdResetStats, &QPushButton::clicked, this, [this] { cmdResetStats_Click(); });
    connect(CmdAccess, &QPushButton::clicked, this, [this] { CmdAccess_Click(); });
    connect(cmdExportLog, &QPushButton::clicked, this, [this] { mnuExportLog_Click(form_); });
    connect(cmdEmailLog, &QPushButton::clicked, this, [this] {
        const auto texts = [](const auto& labels) {
            QStringList captions;
            for (const QLabel* label : labels)
                captions << label->text();
            return captions;
        };
        emailStatistics(
            form_,
            texts(std::array<QLabel*, 3>{lblSessionPrinted, lblSessionDeleted, lblSessionSavings}),
            texts(std::array<QLabel*, 4>{lblTotalPrinted, lblTotalDeleted, lblTotalSavings,
                                         lblTotalReset}),
            texts(lblLog));
    });
}

void FrmStats::build() {
    lblSessionPrinted = label("lblSessionPrinted", "Pages Printed this Session:");
    lblSessionDeleted = label("lblSessionDeleted", "Pages Deleted this Session:");
    lblSessionSavings = label("lblSessionSavings", "Page Savings this Session:");
    auto* session = new QVBoxLayout;
    session->addWidget(lblSessionPrinted);
    session->addWidget(lblSessionDeleted);
    session->addWidget(lblSessionSavings);

    frmTotalStats = named(new QGroupBox(QStringLiteral("My Computer")), "frmTotalStats");
    lblTotalPrinted = label("lblTotalPrinted", "Total Pages Printed:");
    lblTotalDeleted = label("lblTotalDeleted", "Total Pages Deleted:");
    lblTotalSavings = label("lblTotalSavings", "Total Page Savings:");
    lblTotalReset = label("lblTotalReset", "Total Last Reset:");
    cmdResetStats = button("cmdResetStats", "Reset", "Reset Totals");
    auto* totals = new QGridLayout(frmTotalStats);
    totals->addWidget(lblTotalPrinted, 0, 0);
    totals->addWidget(lblTotalDeleted, 1, 0);
    totals->addWidget(lblTotalSavings, 2, 0);
    totals->addWidget(lblTotalReset, 3, 0);
    totals->addWidget(cmdResetStats, 3, 1, Qt::AlignRight);

    frmLog = named(new QGroupBox(QStringLiteral("Log")), "frmLog");
    auto* logGrid = new QGridLayout(frmLog);
    for (int i = 0; i < int(lblLog.size()); ++i) {
        const QByteArray name = "lblLog" + QByteArray::number(i + 1);
        lblLog[size_t(i)] = label(name.constData(), "");
        // Two columns: the pages and the saving, then what the log covers.
        logGrid->addWidget(lblLog[size_t(i)], i % 5, i / 5);
    }

    auto* paper = named(new QGroupBox(QStringLiteral("Paper and Carbon Saved")), "frmPaper");
    lblSheets = label("lblSheets", "");
    lblTrees = label("lblTrees", "");
    lblCo2 = label("lblCo2", "");
    auto* paperRows = new QVBoxLayout(paper);
    paperRows->addWidget(lblSheets);
    paperRows->addWidget(lblTrees);
    paperRows->addWidget(lblCo2);

    chart_ = new QChart;
    chart_->setTitle(QStringLiteral("Pages Printed and Deleted, Last 30 Days"));
    chart_->legend()->setAlignment(Qt::AlignBottom);
    chartPages = named(new QChartView(chart_), "chartPages");
    chartPages->setRenderHint(QPainter::Antialiasing);
    chartPages->setMinimumSize(640, 320);

    cmdRefreshStats = button("cmdRefreshStats", "Refresh");
    cmdExportLog = button("cmdExportLog", "CSV", "Export Log to CSV");
    cmdEmailLog = button("cmdEmailLog", "Email", "Email Session Statistics and Log File");
    CmdAccess = button("CmdAccess", "Access", "Open Log in Access");
    auto* buttons = new QHBoxLayout;
    buttons->addWidget(cmdRefreshStats);
    buttons->addStretch();
    buttons->addWidget(cmdExportLog);
    buttons->addWidget(cmdEmailLog);
    buttons->addWidget(CmdAccess);

    auto* figures = new QVBoxLayout;
    figures->addLayout(session);
    figures->addWidget(frmTotalStats);
    figures->addWidget(frmLog);
    figures->addStretch();
    auto* pictures = new QVBoxLayout;
    pictures->addWidget(chartPages, 1);
    pictures->addWidget(paper);
    auto* columns = new QHBoxLayout;
    columns->addLayout(figures);
    columns->addLayout(pictures, 1);
    auto* window = new QVBoxLayout(this);
    window->addLayout(columns, 1);
    window->addLayout(buttons);
}

void FrmStats::Form_Load() {
    cmdRefreshStats_Click();
    // The saved style decides, not a full menu shown for this run only.
    if (form_.Settings.SimpleView == QLatin1String("Simple Menu")) {
        cmdResetStats->hide();
        CmdAccess->hide();
    }
}

void FrmStats::cmdRefreshStats_Click() {
    const SessionPages& session = SessionPages::of(form_);
    const qint64 sessionPrinted = session.SessionPrintedPages();
    const qint64 sessionDeleted = session.SessionDeletedPages();
    lblSessionPrinted->setText(QStringLiteral("Current Session - Printed Pages: ") +
                               QString::number(sessionPrinted));
    lblSessionDeleted->setText(QStringLiteral("Current Session - Deleted Pages: ") +
                               QString::number(sessionDeleted));
    lblSessionSavings->setText(QStringLiteral("Your Current Saving is ") +
                               savingText(sessionPrinted, sessionDeleted));

    const qint64 totalDeleted = readPageCounter(form_, QLatin1String(kDeletedCounter));
    const qint64 totalPrinted = readPageCounter(form_, QLatin1String(kPrintedCounter));
    lblTotalDeleted->setText(QStringLiteral("Total Deleted Pages: ") +
                             QString::number(totalDeleted));
    lblTotalPrinted->setText(QStringLiteral("Total Printed Pages: ") +
                             QString::number(totalPrinted));
    lblTotalReset->setText(QStringLiteral("Total Last Reset: ") +
                           shortDate(form_.Settings.ResetTotal));
    lblTotalSavings->setText(QStringLiteral("Your Total Saving is ") +
                             savingText(totalPrinted, totalDeleted));

    const LogStatistics s = ComputeLogStatistics(form_.log(), form_.services().clock->now());
    lblLog[1]->setText(QStringLiteral("Log Deleted Pages: ") + QString::number(s.deletedPages));
    lblLog[0]->setText(QStringLiteral("Log Printed Pages: ") + QString::number(s.printedPages));
    lblLog[2]->setText(QStringLiteral("Log Saving is ") + percent(s.saving));
    lblLog[3]->setText(QStringLiteral("Log Started: ") + shortDate(s.firstDate));
    lblLog[4]->setText(QStringLiteral("Log Finished: ") + shortDate(s.lastDate));
    lblLog[5]->setText(QStringLiteral("Pages Managed: ") + QString::number(s.pages));
    lblLog[6]->setText(QStringLiteral("Jobs Managed: ") + QString::number(s.jobs));
    lblLog[7]->setText(QStringLiteral("Servers Managed: ") + QString::number(s.servers));
    lblLog[8]->setText(QStringLiteral("Queues Managed: ") + QString::number(s.queues));
    lblLog[9]->setText(QStringLiteral("Users Managed: ") + QString::number(s.users));

    const PaperSaving paper = paperSavingOf(s.deletedPages);
    const QLocale locale;
    lblSheets->setText(QStringLiteral("Sheets Saved (log): ") + locale.toString(paper.sheets) +
                       QStringLiteral(" (one sheet a page)"));
    lblTrees->setText(QStringLiteral("Trees Saved: ") + locale.toString(paper.trees, 'f', 2) +
                      QStringLiteral(" (%1 sheets a tree)")
                          .arg(locale.toString(qint64(PaperSaving::kSheetsPerTree))));
    lblCo2->setText(QStringLiteral("CO2 Saved: ") + locale.toString(paper.kgCo2, 'f', 2) +
                    QStringLiteral(" kg (%1 g a sheet)")
                        .arg(locale.toString(PaperSaving::kGramsCo2PerSheet, 'f', 1)));
    showPagesPerDay();
}

void FrmStats::showPagesPerDay() {
    const QDate today = form_.services().clock->now().date();
    const QList<DayPages> days = pagesPerDay(form_.log(), today, kChartDays);
    chart_->removeAllSeries();
    for (QAbstractAxis* axis : chart_->axes()) {
        chart_->removeAxis(axis);
        delete axis;
    }

    auto* printed = new QBarSet(QStringLiteral("Printed"));
    auto* deleted = new QBarSet(QStringLiteral("Deleted"));
    printed->setColor(QColor(0, 160, 0));
    deleted->setColor(QColor(255, 128, 0));
    qint64 most = 0;
    for (const DayPages& day : days) {
        *printed << double(day.printed);
        *deleted << double(day.deleted);
        most = std::max({most, day.printed, day.deleted});
    }
    auto* series = new QBarSeries;
    series->append(printed);
    series->append(deleted);
    chart_->addSeries(series);

    // Thirty dates side by side do not fit: every fifth day is named, counted back
    // from today, at the middle of its bars.
    auto* dayAxis = new QCategoryAxis;
    dayAxis->setRange(-0.5, days.size() - 0.5);
    dayAxis->setLabelsPosition(QCategoryAxis::AxisLabelsPositionOnValue);
    for (int i = (int(days.size()) - 1) % 5; i < int(days.size()); i += 5)
        dayAxis->append(days[i].day.toString(QStringLiteral("MM-dd")), i);
    dayAxis->setGridLineVisible(false);
    chart_->addAxis(dayAxis, Qt::AlignBottom);
    series->attachAxis(dayAxis);
    auto* pagesAxis = new QValueAxis;
    pagesAxis->setRange(0, std::max<qint64>(most, 4));
    pagesAxis->setLabelFormat(QStringLiteral("%i"));
    pagesAxis->applyNiceNumbers();
    pagesAxis->setTitleText(QStringLiteral("Pages"));
    chart_->addAxis(pagesAxis, Qt::AlignLeft);
    series->attachAxis(pagesAxis);
}

void FrmStats::cmdResetStats_Click() {
    form_.Settings.ResetTotal = form_.services().clock->now();
    form_.Settings.resetTotalUnread.clear();
    resetPageCounters(form_);
    cmdRefreshStats_Click();
}

void FrmStats::CmdAccess_Click() {
    // Opened as the log, so that a missing file is made from the template first; the
    // handler's own answer is not asked: the desktop tells the operator itself.
    Desktop* desktop = form_.services().desktop;
    LogDatabase& log = form_.log();
    if (!desktop || !log.OpenLogDatabase()) {
        form_.services().prompter->message(
            QStringLiteral("Spoolwright"),
            QStringLiteral("The database cannot be opened or Lookup cannot connect to Access"),
            Prompter::Icon::None);
        return;
    }
    log.CloseLogDatabase();
    // A shared log is no file: it is read with the database server's own tools.
    if (log.isShared()) {
        form_.services().prompter->message(
            QStringLiteral("Spoolwright"),
            QStringLiteral("The log is shared on a database server: open it with a PostgreSQL "
                           "client such as psql."),
            Prompter::Icon::None);
        return;
    }
    desktop->openUrl(QUrl::fromLocalFile(log.filePath()));
    log.WriteAudit(QStringLiteral("Log"), QStringLiteral("Log opened in Access"));
}

FrmStats* openFrmStats(FrmMain& form) {
    return showModeless<FrmStats>(form, QStringLiteral("FrmStats"), [&] {
        auto* window = new FrmStats(form);
        window->Form_Load();
        return window;
    });
}
