#include "control/PrinterAttributesDialog.h"

#include "form/FrmMain.h"

#include <QDialog>
#include <QDialogButtonBox>
#include <QHeaderView>
#include <QLabel>
#include <QTreeWidget>
#include <QVBoxLayout>

QList<QPair<QString, QString>> printerPropertyRows(const QList<SpoolerAttribute>& attributes) {
    const std::pair<const char*, const char*> named[] = {
        {"printer-name", "Name"},
        {"printer-info", "Description"},
        {"printer-location", "Location"},
        {"printer-make-and-model", "Make and model"},
        {"device-uri", "Device"},
        {"printer-state", "State"},
        {"printer-state-reasons", "State reasons"},
        {"printer-state-message", "State message"},
        {"printer-is-shared", "Shared"},
        {"printer-is-accepting-jobs", "Accepting jobs"},
        {"queued-job-count", "Jobs"}};
    QList<QPair<QString, QString>> rows;
    for (const auto& [attribute, label] : named)
        for (const SpoolerAttribute& given : attributes)
            if (given.name == QLatin1String(attribute)) {
                rows.append({QString::fromLatin1(label), given.value});
                break;
            }
    const QString suffix = QStringLiteral("-default");
    for (const SpoolerAttribute& given : attributes)
        if (given.name.endsWith(suffix))
            rows.append({given.name.chopped(suffix.size()), given.value});
    return rows;
}

void showPrinterAttributes(FrmMain& f, const QString& queue,
                           const QList<SpoolerAttribute>& attributes) {
    auto* dialog = new QDialog(&f);
    dialog->setObjectName(QStringLiteral("PrinterAttributes"));
    dialog->setAttribute(Qt::WA_DeleteOnClose);
    dialog->setWindowTitle(QStringLiteral("Printer Properties - ") + queue);
    auto* layout = new QVBoxLayout(dialog);
    const QList<QPair<QString, QString>> rows = printerPropertyRows(attributes);
    auto* note =
        new QLabel(rows.isEmpty() ? QStringLiteral("The server gave no properties of this printer.")
                                  : QStringLiteral("The printer as the server describes it. Its "
                                                   "settings are changed on the server."),
                   dialog);
    note->setWordWrap(true);
    layout->addWidget(note);
    auto* table = new QTreeWidget(dialog);
    table->setObjectName(QStringLiteral("PrinterAttributeList"));
    table->setColumnCount(2);
    table->setHeaderLabels({QStringLiteral("Property"), QStringLiteral("Value")});
    table->setRootIsDecorated(false);
    for (const auto& [name, value] : rows)
        new QTreeWidgetItem(table, {name, value});
    table->resizeColumnToContents(0);
    layout->addWidget(table);
    auto* buttons = new QDialogButtonBox(QDialogButtonBox::Close, dialog);
    QObject::connect(buttons, &QDialogButtonBox::rejected, dialog, &QDialog::reject);
    layout->addWidget(buttons);
    dialog->resize(620, 520);
    dialog->show();
}
