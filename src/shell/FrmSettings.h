#pragma once

#include <QDialog>
#include <functional>

class FrmMain;
class QCheckBox;
class QComboBox;
class QLineEdit;
class QListWidget;
class QPlainTextEdit;
class QPushButton;
class QToolButton;

// The settings dialog: the operator edits the settings record here. Save copies the
// controls into the record (swr.ini gets it at shutdown); closing it otherwise drops
// the changes, except the menu style, "Hide Print All and Delete All" and a log
// database copied to a newly chosen folder, which act at once.
class FrmSettings : public QDialog {
    Q_OBJECT
public:
    // reloadJobView reads the jobs of the server and queue shown again once the log
    // was reset, which logs them into the new log.
    FrmSettings(FrmMain& form, std::function<void()> reloadJobView);

    // Fills the controls from the record and the job grid.
    void Form_Load();
    // Save: checks the polling rates, copies the controls into the record, writes
    // the audit row and closes. Stays open with a message on a bad rate.
    void cmdClose_Click();
    void cmbSimpleView_Click();
    void chkQuickAction_Click();
    void chkQAHideAll_Click();
    void cmdLogPath_Click();
    bool logPathAccepted();
    void cmdReportPath_Click();
    // Reset Log, after asking.
    void cmdClear_Click();
    // Reset Settings, after asking: deletes swr.ini and swr.his, starts a new copy of
    // the program and ends this one without saving.
    void cmdReset_Click();

    QLineEdit* txtPollNorm = nullptr;
    QLineEdit* txtPollAQ = nullptr;
    QLineEdit* txtPollAQactive = nullptr;
    QLineEdit* txtExceptions = nullptr;
    QLineEdit* txtExpireHeldAfter = nullptr; // minutes; 0 keeps held jobs
    QCheckBox* chkNotifyAttention = nullptr;
    QLineEdit* txtNotifyHeldAfter = nullptr; // minutes; 0 sends none
    QCheckBox* chkStartMax = nullptr;
    QComboBox* cmbGridFontSize = nullptr;
    QCheckBox* chkShowErrors = nullptr;
    QComboBox* cmbSimpleView = nullptr;
    QCheckBox* chkWMISearch = nullptr;
    QCheckBox* chkQuickAction = nullptr;
    QListWidget* lstJobAction = nullptr;
    QCheckBox* chkQAHideAll = nullptr;
    QLineEdit* txtReportPath = nullptr;
    QToolButton* cmdReportPath = nullptr;
    QLineEdit* txtCompany = nullptr;
    QPlainTextEdit* txtTagline = nullptr;
    QCheckBox* chkAudit = nullptr;
    QLineEdit* txtLogPath = nullptr;
    QToolButton* cmdLogPath = nullptr;
    QPushButton* cmdClear = nullptr;
    QPushButton* cmdReset = nullptr;
    QPushButton* cmdClose = nullptr;

private:
    void build();
    void wire();
    // A polling box's seconds; false (after the message) when it holds no number.
    bool readRate(const QLineEdit* box, double* seconds);
    // A minutes box's whole number, 0 or more; false (after the message) otherwise.
    bool readMinutes(const QLineEdit* box, int* minutes);
    void fail(const QString& text);
    QString chooseFolder(const QString& caption, const QString& startFolder);

    FrmMain& form_;
    std::function<void()> reloadJobView_;
};

// "&Settings" of the File menu: shows the dialog modeless, made on demand; a dialog
// already open is brought to the front instead.
FrmSettings* openFrmSettings(FrmMain& form, std::function<void()> reloadJobView);
