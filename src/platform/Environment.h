#pragma once

#include <QString>

// The process environment and the folders the program works in. The Windows
// variable names (APPDATA, TEMP, USERNAME, COMPUTERNAME) are honoured as
// overrides, so tests and operators can point the program elsewhere; USERNAME only
// names the user. A variable that is set to empty text counts as unset.
class Environment {
public:
    virtual ~Environment() = default;

    // The raw value of an environment variable; empty when unset.
    virtual QString variable(const QString& name) const;

    // $APPDATA, else the per-user application data folder, ~/.local/share/Spoolwright
    // (or $XDG_DATA_HOME/Spoolwright), created when first needed. A folder named by
    // $APPDATA is used as it is, never created.
    QString appData() const;
    // $TEMP, else the system temporary folder.
    QString temp() const;
    // $USERNAME, else the login name: how the log, the audit rows and the export name
    // the user. It grants no rights: AdminCheck asks the system who runs the program.
    QString userName() const;
    // $COMPUTERNAME, else the host name.
    QString computerName() const;
    // The folder of the data files (template database, help page): the executable's
    // own folder in the build tree, where they lie beside it, else the installed
    // <prefix>/share/spoolwright.
    QString programFolder() const;
    // The folder of the programs started beside this one (the job monitor): the
    // executable's own folder in the build tree, else the installed
    // <prefix>/libexec/spoolwright.
    QString helperFolder() const;
};
