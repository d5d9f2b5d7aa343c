#pragma once

#include "host.h"

#include <memory>

class QMessageBox;
class QWidget;

namespace setup {

// The box QtHost shows for a message.
std::unique_ptr<QMessageBox> messageBox(
    const QString &title, const QString &text, Host::Icon icon, QWidget *parent);

class QtHost : public Host {
public:
    void showMessage(const QString &title, const QString &text, Icon icon) override;
    void runModal(QDialog &dialog) override;
    bool startProgram(const QString &program, const QString &workingFolder) override;
    void endProgram() override;
    bool ended() const override { return m_ended; }

private:
    bool m_ended = false;
};

} // namespace setup
