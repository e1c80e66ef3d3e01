#pragma once

#include <QString>
#include <QStringList>
#include <optional>

// A favourite as one line of text, its record line: server, queue and the AutoQueue
// set-up in force for them, fields joined by " | ":
//   srv01 | Laser2 | AQ On | AR Off
//   srv01 | Laser2 | AQ On | AR On | Print | 5:00 PM | AA
// The favourites file joins record lines with commas, so no field may hold a comma
// (nor a bar, which would split the line into other fields).
struct FavouriteRecord {
    QString server;
    QString queue;
    bool autoQueue = false;
    bool autoRelease = false;
    bool releasePrints = true; // AutoRelease prints the held jobs; false: deletes them
    QString releaseTime;       // as typed
    bool autoActivate = false; // switched to at its release time

    // The record line. The AutoRelease fields come only with AutoRelease on, and the
    // AutoActivate mark only with them, as " | AA " with its trailing blank.
    QString line() const;

    // What a record line holds; none when the line is not one: no server or queue,
    // markers other than "AQ On"/"AQ Off", "AR On"/"AR Off", "Print"/"Delete" and
    // "AA", the wrong number of fields, or a control character anywhere. The time is taken as
    // typed, as it was when the favourite was made.
    static std::optional<FavouriteRecord> read(const QString& line);

    // The server, queue or time that the favourites file could not hold.
    QStringList unstorableTexts() const;
};

// The fields of a record line, split at its bars and read without their surrounding
// blanks. Missing fields read as empty through QStringList::value.
QStringList favouriteFields(const QString& line);

// Whether a line is switched to at its release time: AutoRelease on and the
// AutoActivate mark.
bool favouriteAutoActivates(const QString& line);
