#pragma once

// A host for the installer's windows in tests: it records messages, program
// starts and the end of setup instead of showing, starting or ending.
#include "host.h"

#include <QDialog>
#include <QList>
#include <QString>

#include <functional>

namespace setup {

class RecordingHost : public Host {
public:
    struct Message {
        QString title;
        QString text;
        Icon icon;
    };
    struct Start {
        QString program;
        QString folder;
    };

    void showMessage(const QString &title, const QString &text, Icon icon) override
    {
        messages.append({ title, text, icon });
    }
    void runModal(QDialog &dialog) override
    {
        ++modalCount;
        dialog.show();
        if (onModal)
            onModal(dialog);
        dialog.hide();
    }
    bool startProgram(const QString &program, const QString &folder) override
    {
        starts.append({ program, folder });
        return startSucceeds;
    }
    void endProgram() override { ++endCount; }
    bool ended() const override { return endCount > 0; }

    QList<Message> messages;
    QList<Start> starts;
    bool startSucceeds = true;
    int endCount = 0;
    int modalCount = 0;
    std::function<void(QDialog &)> onModal;
};

} // namespace setup
