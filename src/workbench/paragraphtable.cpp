#include "workbench/paragraphtable.h"

#include "workbench/textrules.h"

namespace zorvel {

ParagraphTable::ParagraphTable()
{
    reset();
}

void ParagraphTable::reset()
{
    m_slots.assign(kSlotCount, ParagraphSlot{});
    imgList = QStringList(kInlinePictureCount, QString());
    imgCount = 0;
    m_rows.clear();
    m_parCount = 0;
    m_mainDepth = 0;
    m_lastRow = -1;
}

bool ParagraphTable::hasPendingTitle() const
{
    return m_parCount < kSlotCount && !m_slots[m_parCount].title.isEmpty();
}

void ParagraphTable::placeRow(int n, const QString &text, bool pending)
{
    if (pending && n < m_rows.size())
        m_rows[n] = text;
    else
        m_rows.insert(n, text);
    m_lastRow = n;
}

ParagraphTable::Mark ParagraphTable::markIdentity(const QString &sel, const QString &rtf)
{
    if (full())
        return Mark::TableFull;
    const int n = m_parCount;
    const bool pending = hasPendingTitle();
    m_slots[n] = ParagraphSlot{markShenas(), trimSpaces(rtf), {}, {}, {}};
    placeRow(n, markShenas() + rowArrow() + BeBor(sel, 70), pending);
    m_parCount = n + 1;
    return Mark::Done;
}

ParagraphTable::Mark ParagraphTable::markTitle(const QString &sel)
{
    if (full())
        return Mark::TableFull;
    const int n = m_parCount;
    const bool pending = hasPendingTitle();
    m_slots[n] = ParagraphSlot{DelCrLf(trimSpaces(sel)), {}, {}, {}, {}};
    placeRow(n, BeBor(m_slots[n].title, 20), pending);
    return Mark::Done;
}

ParagraphTable::Mark ParagraphTable::markRelated(const QString &sel, const QString &rtf)
{
    if (!hasPendingTitle())
        return full() ? Mark::TableFull : Mark::NoPendingTitle;
    const int n = m_parCount;
    m_slots[n].body = trimSpaces(rtf);
    m_rows[n] = m_rows[n] + rowArrow() + BeBor(sel, 70);
    m_lastRow = n;
    m_parCount = n + 1;
    return Mark::Done;
}

ParagraphTable::Mark ParagraphTable::openMain(const QString &sel)
{
    if (full())
        return Mark::TableFull;
    const int n = m_parCount;
    const bool pending = hasPendingTitle();
    m_slots[n] = ParagraphSlot{markMain(), trimSpaces(sel), {}, {}, {}};
    m_mainText = m_slots[n].body;
    placeRow(n, BeBor(markMain(), 20) + rowArrow() + BeBor(m_slots[n].body, 70), pending);
    m_parCount = n + 1;
    ++m_mainDepth;
    return Mark::Done;
}

ParagraphTable::Mark ParagraphTable::closeMain()
{
    if (m_mainDepth <= 0)
        return Mark::NothingToClose;
    if (full())
        return Mark::TableFull;
    const int n = m_parCount;
    const bool pending = hasPendingTitle();
    m_slots[n] = ParagraphSlot{markEnd(), m_mainText, {}, {}, {}};
    placeRow(n, BeBor(markEnd(), 20) + rowArrow() + BeBor(m_mainText, 70), pending);
    m_parCount = n + 1;
    --m_mainDepth;
    return Mark::Done;
}

void ParagraphTable::storeEdit(int i, const QString &title, const QString &body,
                               const QString &plainBody, const QString &pic,
                               const QString &sound, const QString &film)
{
    ParagraphSlot &s = m_slots.at(i);
    s.title = title;
    // A main title's body is its group label: keep it plain.
    s.body = title == markMain() ? plainBody : body;
    s.pic = pic;
    s.sound = sound;
    s.film = film;
    QString row = BeBor(title, 20) + rowArrow() + BeBor(plainBody, 70);
    if (!pic.isEmpty())
        row.prepend(QStringLiteral("§ "));
    if (!sound.isEmpty())
        row.prepend(QStringLiteral("~ "));
    if (!film.isEmpty())
        row.prepend(QStringLiteral("# "));
    if (i < m_rows.size())
        m_rows[i] = row;
    m_lastRow = i;
}

void ParagraphTable::deleteSlot(int i)
{
    if (i < 0 || i >= kSlotCount)
        return;
    const bool completed = i < m_parCount;
    if (i < m_rows.size())
        m_rows.removeAt(i);
    for (int k = i; k < kSlotCount && !m_slots[k].title.isEmpty(); ++k)
        m_slots[k] = k + 1 < kSlotCount ? m_slots[k + 1] : ParagraphSlot{};
    // Only a completed paragraph lowers the count; a pending title just goes.
    if (completed)
        --m_parCount;
}

int ParagraphTable::takePictureNumber(const QString &path)
{
    if (imgCount < 0 || imgCount >= kInlinePictureCount)
        return -1;
    const int n = imgCount;
    imgList[n] = path;
    imgCount = static_cast<qint16>(n + 1);
    return n;
}

QString ParagraphTable::mainCaption(int depth)
{
    return QStringLiteral(u"عنوان اصلي (") + QString::number(depth) + QStringLiteral(u")\u200F");
}

} // namespace zorvel
