#pragma once

#include <QString>

class QComboBox;

// The server history: the entries of the server box, one per line in swr.his.

// Adds every line of the file through List_Add; a missing file changes nothing.
void List_Load(QComboBox* list, const QString& fileName);
// Writes every non-empty entry, first to last, one per line (CR LF), replacing the
// file only once the new content is on disk whole. False when it could not be
// written; the old file is then kept as it was.
bool List_Save(QComboBox* list, const QString& fileName);
// Appends the name unless it is empty or already there (exact, case-sensitive).
void List_Add(QComboBox* list, const QString& name);
