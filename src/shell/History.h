#pragma once

#include <QString>

class QComboBox;

// The server history: the entries of the server box, one per line in swr.his.

// Appends every line of the file that names a server and is not in the list yet, in
// file order, each once (exact, case-sensitive). Lines that cannot be a server name
// (empty, holding control characters, longer than 255 characters) are dropped. A
// missing file changes nothing. Takes time in proportion to the file's length.
void List_Load(QComboBox* list, const QString& fileName);
// Writes every non-empty entry, first to last, one per line (CR LF), replacing the
// file only once the new content is on disk whole. False when it could not be
// written; the old file is then kept as it was.
bool List_Save(QComboBox* list, const QString& fileName);
// Appends the name unless it is empty or already there (exact, case-sensitive).
void List_Add(QComboBox* list, const QString& name);
