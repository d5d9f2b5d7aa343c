#pragma once

#include <QString>

namespace zorvel {

// The folder Zorvel works from: relative field paths ("Data", "Export",
// "Resources\MyBook.jpg", the input texts in "the current folder") resolve
// against it, and it must hold Resources.
//
// A writable program folder (the build's bin folder, a portable copy) is the
// work folder itself. An installed, read-only one is not: then the work
// folder is home/Zorvel, made on first use with empty Data and Export
// folders, the sample texts from the program folder's "samples" folder
// (only those not there yet) and "Resources" as a symbolic link to the
// program's Resources. Whatever the user already has there is kept.
// Returns the program folder when home/Zorvel cannot be made.
QString chooseWorkFolder(const QString &programFolder, bool programFolderWritable,
                         const QString &home);

} // namespace zorvel
