#include "shell/form1.h"

namespace zorvel {
void Form1::ExportAll() {}
void Form1::Command10_Click() {}
} // namespace zorvel
