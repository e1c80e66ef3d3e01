#pragma once

class FrmMain;

// The favourites file: one line of record lines, each followed by a comma, ending
// with CR LF, in slot order.

// Writes the favourites shown to a file the operator chooses.
void mnuExportFav_Click(FrmMain& form);

// Replaces every slot with the favourites of a file the operator chooses: the n-th
// record line goes into slot n. Lines that are no record line, and lines past the
// last slot, are left out and named in one message afterwards (the first few of
// each kind, and how many more). A file that cannot be read, or that holds no
// record line for a slot, changes nothing; the latter says so.
void mnuImportFav_Click(FrmMain& form);
