#pragma once

#include <QString>

namespace zorvel {
class Form3;
}

namespace zorvel::testing {

struct Bench;
class TempProgram;

// One book with every kind of slot, marked through the workbench and the
// editor: the name, an identity page, two nested main titles, three
// paragraphs (the first with an inline picture, an attached picture, a sound
// and a film), and XML-special characters in a title and a body.

// The input text one.txt, the film media/<filmName> and an inline picture.
void writeEverySlotInputs(const TempProgram &tp, const QString &filmName);

// Loads one.txt in the workbench and marks the whole book, ready for
// "ساخت فايل". Returns the identity page's text as the page holds it.
QString markEverySlotBook(Bench &b, Form3 &w, const QString &filmName);

} // namespace zorvel::testing
