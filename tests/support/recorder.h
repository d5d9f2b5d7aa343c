#pragma once

#include "ui/common/operator.h"

#include <QList>
#include <QMap>
#include <QString>
#include <QStringList>

#include <functional>

class QDialog;

namespace zorvel::testing {

// Stands in for the operator: logs every message, notice, question and modal
// window, answers questions from a queue, and lets a test act in a modal
// window through a handler registered for its class name.
class Recorder : public Operator {
public:
    struct Event {
        enum Kind { Message, Notice, Ask, Modal, AskText } kind;
        qint16 code = 0;
        QString text; // notice, question or prompt text; class name of a modal window
    };

    void message(qint16 code) override;
    void notice(const QString &text) override;
    bool ask(const QString &text) override;
    void runModal(QDialog &window) override;
    std::optional<QString> askText(const QString &prompt, const QString &initial) override;

    // Handler for modal windows of the given class (e.g. "zorvel::Form5").
    void onModal(const QString &className, std::function<void(QDialog &)> handler);
    // Answers for the next questions, in order; with none left the answer is Yes.
    void queueAnswers(const QList<bool> &answers) { m_answers += answers; }
    // Answers for the next texts asked for (nullopt: cancelled), in order;
    // with none left the operator cancels.
    void queueTextAnswers(const QList<std::optional<QString>> &answers) { m_textAnswers += answers; }

    QList<qint16> messages() const;
    QStringList notices() const;
    QStringList questions() const;
    QStringList modals() const;
    QStringList textPrompts() const;
    const QList<Event> &events() const { return m_events; }
    void clear() { m_events.clear(); }

private:
    QList<Event> m_events;
    QList<bool> m_answers;
    QList<std::optional<QString>> m_textAnswers;
    QMap<QString, std::function<void(QDialog &)>> m_handlers;
};

} // namespace zorvel::testing
