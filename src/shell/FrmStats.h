#pragma once

#include <QDialog>
#include <array>

class FrmMain;
class QChart;
class QChartView;
class QGroupBox;
class QLabel;
class QPushButton;

// The statistics window: pages released and deleted this session, since the last
// reset of the running totals, and in the whole job log with the saving each makes,
// the log's last 30 days as a chart, and what the saving means in paper and carbon.
// The figures change only on Refresh and Reset.
class FrmStats : public QDialog {
    Q_OBJECT
public:
    explicit FrmStats(FrmMain& form);

    // Refreshes the figures, then hides Reset and Access for the simple menu style.
    void Form_Load();
    void cmdRefreshStats_Click();
    // Sets the running totals and the session's counters to 0 and their reset date to
    // now, without asking; the log is left alone.
    void cmdResetStats_Click();
    // Opens the log database with the desktop's handler for it.
    void CmdAccess_Click();

    QLabel* lblSessionPrinted = nullptr;
    QLabel* lblSessionDeleted = nullptr;
    QLabel* lblSessionSavings = nullptr;
    QGroupBox* frmTotalStats = nullptr;
    QLabel* lblTotalPrinted = nullptr;
    QLabel* lblTotalDeleted = nullptr;
    QLabel* lblTotalSavings = nullptr;
    QLabel* lblTotalReset = nullptr;
    QPushButton* cmdResetStats = nullptr;
    QGroupBox* frmLog = nullptr;
    std::array<QLabel*, 10> lblLog{}; // lblLog1 .. lblLog10
    QPushButton* cmdRefreshStats = nullptr;
    QPushButton* cmdExportLog = nullptr;
    QPushButton* cmdEmailLog = nullptr;
    QPushButton* CmdAccess = nullptr;
    // The paper and carbon the log's deleted pages saved.
    QLabel* lblSheets = nullptr;
    QLabel* lblTrees = nullptr;
    QLabel* lblCo2 = nullptr;
    // Pages printed and deleted a day over the last 30 days of the log.
    QChartView* chartPages = nullptr;

private:
    void build();
    void showPagesPerDay();

    FrmMain& form_;
    QChart* chart_ = nullptr;
};

// "&Statistics" of the menu bar: shows the window modeless, made on demand; a
// window already open is brought to the front instead.
FrmStats* openFrmStats(FrmMain& form);
