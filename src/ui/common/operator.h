#pragma once

#include <QString>
#include <QtGlobal>

#include <optional>

class QDialog;

namespace zorvel {

// Everything modal goes through here: catalogue messages, plain notices,
// Yes/No questions and modal windows. The program installs the Qt version;
// tests install a recorder that logs and answers without blocking.
class Operator {
public:
    virtual ~Operator() = default;
    virtual void message(qint16 code) = 0;          // a catalogue message (bepayam)
    virtual void notice(const QString &text) = 0;   // a plain OK box captioned Zorvel
    virtual bool ask(const QString &text) = 0;      // a Yes/No question captioned Zorvel
    virtual void runModal(QDialog &window) = 0;     // pickers, editor, help
    // A line of text asked for, captioned Zorvel, starting from `initial`;
    // nullopt when the operator cancels. One that cannot ask cancels.
    virtual std::optional<QString> askText(const QString &prompt, const QString &initial)
    {
        Q_UNUSED(prompt);
        Q_UNUSED(initial);
        return std::nullopt;
    }
};

} // namespace zorvel
