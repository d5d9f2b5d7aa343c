#pragma once

#include <QString>

namespace zorvel {

class Operator;
class Form1;
class Form3;
class Form6;
class MainWindowLink;
class EditorHost;

// The single windows of one run and what they share. main() makes one; a
// test makes a fresh one, so windows never reach each other through globals.
struct AppContext {
    Operator *op = nullptr;
    // The folder of the running program, or the user's own work folder with
    // Resources linked into it when the program folder is read-only
    // (core/project/workfolder.h).
    QString programFolder;
    Form1 *form1 = nullptr;
    Form3 *form3 = nullptr; // created by the first "Next"
    Form6 *form6 = nullptr; // the paragraph editor while it is open
    // The same windows as the ones they open see them.
    MainWindowLink *mainWindow = nullptr; // form1
    EditorHost *editorHost = nullptr;     // form3
};

} // namespace zorvel
