#include "workbench/form3.h"

namespace zorvel {
void Form3::MakeBook() {}
} // namespace zorvel
