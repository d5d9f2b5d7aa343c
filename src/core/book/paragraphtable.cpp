#include "core/book/paragraphtable.h"

#include "core/book/textrules.h"

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

bool ParagraphTable::pendingHasContent() const
{
    if (!hasPendingTitle())
        return false;
    const ParagraphSlot &s = m_slots[m_parCount];
    return !s.body.isEmpty() || !s.pic.isEmpty() || !s.sound.isEmpty() || !s.film.isEmpty();
}

QList<ParagraphSlot> ParagraphTable::slotsToWrite() const
{
    const int used = m_parCount + (hasPendingTitle() ? 1 : 0);
    return QList<ParagraphSlot>(m_slots.begin(), m_slots.begin() + used);
}

ParagraphTable::Contents ParagraphTable::contents() const
{
    Contents c;
    c.paragraphs = slotsToWrite();
    c.rows = m_rows;
    c.parCount = m_parCount;
    c.mainDepth = m_mainDepth;
    c.mainText = m_mainText;
    c.imgList = imgList;
    c.imgCount = imgCount;
    return c;
}

bool ParagraphTable::restore(const Contents &c)
{
    const qsizetype used = c.paragraphs.size();
    if (used > kSlotCount || c.parCount < 0 || c.parCount > used || used > c.parCount + 1
        || c.rows.size() != used || c.mainDepth < 0 || c.imgCount < 0
        || c.imgCount > kInlinePictureCount || c.imgList.size() > kInlinePictureCount)
        return false;
    for (qsizetype i = c.parCount; i < used; ++i)
        if (c.paragraphs[i].title.isEmpty())
            return false; // a slot past the count is a pending title
    reset();
    std::copy(c.paragraphs.begin(), c.paragraphs.end(), m_slots.begin());
    m_rows = c.rows;
    m_parCount = c.parCount;
    m_mainDepth = c.mainDepth;
    m_mainText = c.mainText;
    std::copy(c.imgList.begin(), c.imgList.end(), imgList.begin());
    imgCount = static_cast<qint16>(c.imgCount);
    m_lastRow = static_cast<int>(m_rows.size()) - 1;
    return true;
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
    const QString title = trimTitle(sel);
    if (title.isEmpty())
        return Mark::NothingSelected;
    const int n = m_parCount;
    const bool pending = hasPendingTitle();
    m_slots[n] = ParagraphSlot{title, {}, {}, {}, {}};
    placeRow(n, BeBor(m_slots[n].title, 20), pending);
    return Mark::Done;
}

ParagraphTable::Mark ParagraphTable::markRelated(const QString &sel, const QString &rtf)
{
    if (!hasPendingTitle())
        return full() ? Mark::TableFull : Mark::NoPendingTitle;
    if (sel.trimmed().isEmpty())
        return Mark::NothingSelected;
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
    const bool completes = i == m_parCount && hasPendingTitle() && !plainBody.trimmed().isEmpty();
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
    if (completes)
        ++m_parCount;
}

void ParagraphTable::removeSlot(int i)
{
    const bool completed = i < m_parCount;
    if (i < m_rows.size())
        m_rows.removeAt(i);
    m_slots.erase(m_slots.begin() + i);
    m_slots.push_back(ParagraphSlot{});
    // Only a completed paragraph lowers the count; a pending title just goes.
    if (completed)
        --m_parCount;
}

void ParagraphTable::deleteSlot(int i)
{
    if (i < 0 || i >= kSlotCount)
        return;
    if (m_slots[i].title != markMain() || i >= m_parCount) {
        removeSlot(i);
        return;
    }
    // A main title and the end entry that closes its group go together.
    int end = -1;
    for (int k = i + 1, depth = 0; k < m_parCount && end < 0; ++k) {
        const QString &t = m_slots[k].title;
        if (t == markMain())
            ++depth;
        else if (t == markEnd() && depth-- == 0)
            end = k;
    }
    if (end >= 0)
        removeSlot(end);
    else
        --m_mainDepth; // its group was still open
    removeSlot(i);
    // An end entry takes the text of the most recently opened main title left.
    m_mainText.clear();
    for (int k = m_parCount - 1; k >= 0; --k) {
        if (m_slots[k].title == markMain()) {
            m_mainText = m_slots[k].body;
            break;
        }
    }
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
