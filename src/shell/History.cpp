#include "shell/History.h"

#include "platform/SafeFile.h"

#include <QComboBox>
#include <QFile>
#include <QSet>

namespace {

// Longer than any host name (253) with a port; a longer line is no server name.
constexpr int kLongestServerName = 255;

// A line that could name a server: not empty, of a sensible length, and without
// control characters (a damaged or binary file would otherwise fill the box with
// rubbish).
bool plausibleServerName(const QString& name) {
    if (name.isEmpty() || name.size() > kLongestServerName)
        return false;
    for (const QChar c : name)
        if (c.category() == QChar::Other_Control)
            return false;
    return true;
}

// Appends entries to the box without changing what it shows or selects.
void appendKeepingSelection(QComboBox* list, const QStringList& names) {
    const QString typed = list->currentText();
    const int selected = list->currentIndex();
    list->addItems(names);
    list->setCurrentIndex(selected);
    if (list->isEditable())
        list->setEditText(typed);
}

} // namespace

void List_Load(QComboBox* list, const QString& fileName) {
    QFile file(fileName);
    if (!file.open(QIODevice::ReadOnly))
        return;
    // One pass with a set of the names seen, and one insertion into the box at the
    // end: a history of tens of thousands of lines loads in linear time.
    QSet<QString> seen;
    for (int i = 0; i < list->count(); ++i)
        seen.insert(list->itemText(i));
    QStringList added;
    while (!file.atEnd()) {
        QByteArray line = file.readLine();
        while (line.endsWith('\n') || line.endsWith('\r'))
            line.chop(1);
        const QString name = QString::fromLocal8Bit(line);
        if (plausibleServerName(name) && !seen.contains(name)) {
            seen.insert(name);
            added.append(name);
        }
    }
    if (!added.isEmpty())
        appendKeepingSelection(list, added);
}

bool List_Save(QComboBox* list, const QString& fileName) {
    QByteArray data;
    for (int i = 0; i < list->count(); ++i)
        if (!list->itemText(i).isEmpty())
            data += list->itemText(i).toLocal8Bit() + "\r\n";
    return SafeFile::replaceFileContents(fileName, data);
}

void List_Add(QComboBox* list, const QString& name) {
    if (name.isEmpty())
        return;
    if (list->findText(name, Qt::MatchExactly | Qt::MatchCaseSensitive) >= 0)
        return;
    appendKeepingSelection(list, {name});
}
