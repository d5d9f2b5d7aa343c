#pragma once

#include "recorder.h"
#include "tempprogram.h"
#include "ui/common/appcontext.h"

#include <functional>
#include <memory>

namespace zorvel {
class Form1;
class Form3;
}

namespace zorvel::testing {

// A program folder with a Data build folder, the main window on it, and the
// workbench that "Next" opens.
struct Bench {
    TempProgram tp;
    Recorder rec;
    AppContext ctx;
    std::unique_ptr<Form1> f1;

    explicit Bench(const std::function<void(TempProgram &)> &prepare = {});
    ~Bench();

    // Runs "Next"; the test fails hard when the workbench does not open.
    Form3 &open();

    // Selects a piece of the workbench's text by its content.
    static void select(Form3 &w, const QString &piece);
    // Clicks an input text in the workbench's list.
    static void loadText(Form3 &w, const QString &name);
    // Marks a title and its related text, both found in the shown text.
    static void markParagraph(Form3 &w, const QString &title, const QString &body);
};

} // namespace zorvel::testing
