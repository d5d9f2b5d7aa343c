#include "recorder.h"

#include <QDialog>
#include <QMetaObject>

namespace zorvel::testing {

void Recorder::message(qint16 code)
{
    m_events.append({Event::Message, code, {}});
}

void Recorder::notice(const QString &text)
{
    m_events.append({Event::Notice, 0, text});
}

bool Recorder::ask(const QString &text)
{
    m_events.append({Event::Ask, 0, text});
    return m_answers.isEmpty() ? true : m_answers.takeFirst();
}

void Recorder::runModal(QDialog &window)
{
    const QString name = QString::fromLatin1(window.metaObject()->className());
    m_events.append({Event::Modal, 0, name});
    auto it = m_handlers.find(name);
    if (it != m_handlers.end())
        (*it)(window);
}

std::optional<QString> Recorder::askText(const QString &prompt, const QString &initial)
{
    Q_UNUSED(initial);
    m_events.append({Event::AskText, 0, prompt});
    return m_textAnswers.isEmpty() ? std::nullopt : m_textAnswers.takeFirst();
}

void Recorder::onModal(const QString &className, std::function<void(QDialog &)> handler)
{
    m_handlers[className] = std::move(handler);
}

QList<qint16> Recorder::messages() const
{
    QList<qint16> out;
    for (const Event &e : m_events)
        if (e.kind == Event::Message)
            out << e.code;
    return out;
}

QStringList Recorder::notices() const
{
    QStringList out;
    for (const Event &e : m_events)
        if (e.kind == Event::Notice)
            out << e.text;
    return out;
}

QStringList Recorder::questions() const
{
    QStringList out;
    for (const Event &e : m_events)
        if (e.kind == Event::Ask)
            out << e.text;
    return out;
}

QStringList Recorder::textPrompts() const
{
    QStringList out;
    for (const Event &e : m_events)
        if (e.kind == Event::AskText)
            out << e.text;
    return out;
}

QStringList Recorder::modals() const
{
    QStringList out;
    for (const Event &e : m_events)
        if (e.kind == Event::Modal)
            out << e.text;
    return out;
}

} // namespace zorvel::testing
