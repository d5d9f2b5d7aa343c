#pragma once

#include "core/common/xmltext.h"

#include <QString>
#include <QStringList>

#include <optional>

namespace zorvel {

class FileSystem;

// The six project settings kept in BookTXT/CDProperty.xml of a build folder.
struct ProjectSettings {
    QString aBookNumber = QStringLiteral("10"); // counts exactly as typed
    QString bBookNumber = QStringLiteral("10");
    QString cBookNumber = QStringLiteral("10");
    bool template1 = true; // Olgoo element 0
    bool musicOn = true;   // bMus element 0
    bool print = false;    // Pcheck

    bool operator==(const ProjectSettings &) const = default;
};


// Element text as the settings and the page generation use it: empty when the
// element is missing or malformed.
QString Wsre(const QString &oip, const QString &wht);

// The codes written for the option groups ("1"/"2" template, "1"/"0" music and print).
QString templateCode(bool template1);
QString musicCode(bool musicOn);
QString printCode(bool print);

// The file's exact content: eight CR LF separated lines, none after "</strings>".
QString buildSettingsText(const ProjectSettings &s);

// Reads a settings text. nullopt when an element present in it is malformed,
// so that no field changes at all.
std::optional<ProjectSettings> parseSettingsText(const QString &text);

// The bytes of a settings file as text: UTF-16 LE (as the program writes it,
// with or without FF FE), UTF-16 BE and UTF-8 (with or without their marks),
// as another editor may have saved it. Without a mark, the form in which the
// file reads "<strings>" is taken; failing that, UTF-16 LE.
QString decodeSettingsText(const QByteArray &bytes);

// D + "BookTXT" + separator + "CDProperty.xml".
QString settingsFilePath(const QString &buildFolder);

// What SaveThings needs from the main window's fields.
struct SaveRequest {
    QString buildFolder; // text of idir
    ProjectSettings settings;
    QString pickerText; // current text of dataName
    QString bookPicture; // index
    QString background;  // Back
    QString music1;      // Mus1
    QString music2;      // Mus2
};

struct SaveOutcome {
    bool settingsWritten = false;
    QStringList problems; // one line per file that could not be written
};

// Writes the settings file, then copies the media. When the settings file
// cannot be written (no build folder included) nothing else is done. A medium
// already at its target (chosen from the build folder itself) stays as it is.
SaveOutcome saveProject(const FileSystem &fs, const SaveRequest &request);

// Reads the settings file of a build folder. The result is empty when there is
// no build folder or the file is missing or empty. `problem` receives a message
// when the file exists but cannot be read or is malformed (a text without
// "<strings>" included).
std::optional<ProjectSettings> readProject(const FileSystem &fs, const QString &buildFolder,
                                           QString *problem);

} // namespace zorvel
