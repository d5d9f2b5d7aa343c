#pragma once

#include <QString>

class QWidget;

namespace setup {

// What a screen reader announces for one control: its name and a longer hint.
struct Spoken {
    QString name;
    QString description;
};

void setSpoken(QWidget *widget, const Spoken &spoken);

// The installer's pages are pictures with their text drawn in; this is that
// text, so it can be read aloud. Page 0 is the opening page, 1 the
// destination, 2 the installation.
Spoken pageSpoken(int page);

// Next on the destination page starts the copy, so there it is Install.
Spoken nextSpoken(int page);
Spoken backSpoken();
Spoken exitSpoken();
Spoken destinationSpoken();
Spoken browseSpoken();

// The folder picker.
Spoken driveSpoken();
Spoken folderListSpoken();
Spoken useFolderSpoken();

} // namespace setup
