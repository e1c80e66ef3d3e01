#include "FuzzEntries.h"
#include "Scratch.h"

#include "shell/History.h"

#include <QComboBox>
#include <QSet>

namespace {

QStringList entries(const QComboBox& box) {
    QStringList names;
    for (int i = 0; i < box.count(); ++i)
        names << box.itemText(i);
    return names;
}

} // namespace

namespace FuzzEntries {

QString serverHistory(const QByteArray& input) {
    Scratch::ensureApplication();
    const QString path = Scratch::write(QStringLiteral("swr.his"), input);
    if (path.isEmpty())
        return QStringLiteral("the scratch file could not be written");

    QComboBox box;
    box.setEditable(true);
    box.setEditText(QStringLiteral("typed"));
    List_Load(&box, path);
    if (box.currentText() != QLatin1String("typed"))
        return QStringLiteral("loading the history changed the box's text");
    const QStringList loaded = entries(box);
    if (QSet<QString>(loaded.begin(), loaded.end()).size() != loaded.size())
        return QStringLiteral("the history holds a name twice");
    for (const QString& name : loaded)
        for (const QChar c : name)
            if (c.category() == QChar::Other_Control || name.size() > 255)
                return QStringLiteral("the history took %1").arg(Scratch::sample(name));

    // What is saved loads back the same.
    if (!List_Save(&box, path))
        return QStringLiteral("the history could not be saved");
    QComboBox again;
    List_Load(&again, path);
    if (entries(again) != loaded)
        return QStringLiteral("the history saved loads back as %1 names, not %2")
            .arg(again.count())
            .arg(loaded.size());
    return QString();
}

} // namespace FuzzEntries
