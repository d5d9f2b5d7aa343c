#include "shell/form1.h"

namespace zorvel {
void Form1::ExportAll() {}
void Form1::Command4_Click() {}
void Form1::Command10_Click() {}
bool Form1::routeToEditor(const QString &, const QString &) { return false; }
} // namespace zorvel
