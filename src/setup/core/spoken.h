#pragma once

// What the installer's controls say of themselves: the name a screen reader
// announces (and a tool tip shows) and a longer hint. The pages are pictures
// with their text drawn in; pageSpoken gives that text. Page 0 is the
// opening page, 1 the destination, 2 the installation.
#include <string>

namespace setup::core {

struct Spoken {
    std::string name;
    std::string description;
};

Spoken pageSpoken(int page);
// Next on the destination page starts the copy, so there it is Install.
Spoken nextSpoken(int page);
Spoken backSpoken();
Spoken exitSpoken();
Spoken destinationSpoken();
Spoken browseSpoken();
Spoken driveSpoken();
Spoken folderListSpoken();
Spoken useFolderSpoken();

} // namespace setup::core
