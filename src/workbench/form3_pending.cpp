#include "workbench/form3.h"

namespace zorvel {
void Form3::MakeBook() {}
void Form3::openEditor() {}
void Form3::ShowEdit(Form6 &) {}
void Form3::DoEdit(Form6 &) {}
void Form3::Ohazf(Form6 &) {}
void Form3::DoIMG(Form6 &) {}
} // namespace zorvel
