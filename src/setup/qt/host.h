#pragma once

#include <QString>

class QDialog;

namespace setup {

// Everything the installer window does outside itself: modal message boxes,
// the modal folder picker, starting the installed program and ending setup.
// The program uses QtHost; tests record instead of blocking or starting.
class Host {
public:
    enum class Icon { Critical, Warning };

    virtual ~Host() = default;
    virtual void showMessage(const QString &title, const QString &text, Icon icon) = 0;
    virtual void runModal(QDialog &dialog) = 0;
    // Starts `program` detached with `workingFolder` as its current folder;
    // false when nothing was started.
    virtual bool startProgram(const QString &program, const QString &workingFolder) = 0;
    virtual void endProgram() = 0;
    virtual bool ended() const = 0;
};

} // namespace setup
