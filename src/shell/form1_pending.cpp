#include "shell/form1.h"

namespace zorvel {
void Form1::upd() {}
void Form1::ExportAll() {}
void Form1::Command1_Click() {}
void Form1::Command2_Click() {}
void Form1::Command4_Click() {}
void Form1::Command5_Click() {}
void Form1::Command6_Click() {}
void Form1::Command7_Click() {}
void Form1::Command8_Click() {}
void Form1::Command9_Click() {}
void Form1::Command10_Click() {}
Form2 *Form1::form2() { return nullptr; }
Form5 *Form1::form5() { return nullptr; }
void Form1::prepareFolderPicker(const QString &) {}
void Form1::prepareFilePicker(const QString &, const QString &) {}
} // namespace zorvel
