#include "shell/History.h"

#include "platform/SafeFile.h"

#include <QComboBox>
#include <QFile>

void List_Load(QComboBox* list, const QString& fileName) {
    QFile file(fileName);
    if (!file.open(QIODevice::ReadOnly))
        return;
    while (!file.atEnd()) {
        QByteArray line = file.readLine();
        while (line.endsWith('\n') || line.endsWith('\r'))
            line.chop(1);
        List_Add(list, QString::fromLocal8Bit(line));
    }
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
    for (int i = 0; i < list->count(); ++i)
        if (list->itemText(i) == name)
            return;
    // Adding to the list never changes what the box shows or selects.
    const QString typed = list->currentText();
    const int selected = list->currentIndex();
    list->addItem(name);
    list->setCurrentIndex(selected);
    if (list->isEditable())
        list->setEditText(typed);
}
