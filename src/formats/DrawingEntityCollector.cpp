#include "DrawingEntityCollector.h"

#include <cmath>

namespace {

// What an attribute's tag says its value is.
enum class Tag { Other, Number, Name, Height };

Tag tagOf(const QString &tag)
{
    static const QString kNumber[] = {QStringLiteral("点号"), QStringLiteral("NUMBER"), QStringLiteral("NO"),
                                      QStringLiteral("ID"), QStringLiteral("PT")};
    static const QString kName[] = {QStringLiteral("点名"), QStringLiteral("NAME"), QStringLiteral("PNAME")};
    static const QString kHeight[] = {QStringLiteral("高程"), QStringLiteral("ELEV"),
                                      QStringLiteral("HEIGHT"), QStringLiteral("Z")};
    const QString key = tag.trimmed().toUpper();
    for (const QString &t : kNumber) {
        if (key == t)
            return Tag::Number;
    }
    for (const QString &t : kName) {
        if (key == t)
            return Tag::Name;
    }
    for (const QString &t : kHeight) {
        if (key == t)
            return Tag::Height;
    }
    return Tag::Other;
}

// The model space's own block: empty in a drawing from R2000 on, whose model space is the entities
// section, but a writer may fill it.
bool isModelSpaceBlock(const std::string &name)
{
    const QString upper = QString::fromStdString(name).toUpper();
    return upper == QLatin1StringView("*MODEL_SPACE") || upper == QLatin1StringView("$MODEL_SPACE");
}

bool isFinite(double x, double y, double z = 0)
{
    return std::isfinite(x) && std::isfinite(y) && std::isfinite(z);
}

} // namespace

void DrawingEntityCollector::addBlock(const DL_BlockData &data)
{
    m_inBlock = true;
    m_inModelSpaceBlock = isModelSpaceBlock(data.name);
    m_openInsert = -1;
}

void DrawingEntityCollector::endBlock()
{
    m_inBlock = false;
    m_inModelSpaceBlock = false;
    m_openInsert = -1;
}

bool DrawingEntityCollector::inModelSpace() const
{
    return (!m_inBlock || m_inModelSpaceBlock) && !attributes.isInPaperSpace();
}

QString DrawingEntityCollector::decode(const std::string &text) const
{
    return DrawingText::decode(text, m_encoding);
}

void DrawingEntityCollector::addPoint(const DL_PointData &data)
{
    m_openInsert = -1;
    if (!inModelSpace() || !isFinite(data.x, data.y, data.z))
        return;
    DrawingPoint point;
    point.x = data.x;
    point.y = data.y;
    point.z = data.z;
    m_entities.points.push_back(std::move(point));
}

void DrawingEntityCollector::addInsert(const DL_InsertData &data)
{
    m_openInsert = -1;
    if (!inModelSpace() || !isFinite(data.ipx, data.ipy, data.ipz))
        return;
    DrawingPoint point;
    point.x = data.ipx;
    point.y = data.ipy;
    point.z = data.ipz;
    m_entities.points.push_back(std::move(point));
    m_openInsert = qsizetype(m_entities.points.size()) - 1;
}

void DrawingEntityCollector::addAttribute(const DL_AttributeData &data)
{
    if (m_openInsert < 0)
        return;
    DrawingPoint &point = m_entities.points[size_t(m_openInsert)];
    const QString value = decode(data.text).trimmed();
    switch (tagOf(decode(data.tag))) {
    case Tag::Number:
        point.numberAttribute = value;
        break;
    case Tag::Name:
        point.nameAttribute = value;
        break;
    case Tag::Height:
        point.heightAttribute = value;
        break;
    case Tag::Other:
        break;
    }
}

void DrawingEntityCollector::endSequence()
{
    m_openInsert = -1;
}

void DrawingEntityCollector::addText(const DL_TextData &data)
{
    m_openInsert = -1;
    if (!inModelSpace())
        return;
    // An aligned text (any justification but left on the baseline) stands at its alignment point.
    const bool aligned =
        (data.hJustification != 0 || data.vJustification != 0) && isFinite(data.apx, data.apy);
    DrawingLabel label;
    label.x = aligned ? data.apx : data.ipx;
    label.y = aligned ? data.apy : data.ipy;
    label.height = std::fabs(data.height);
    label.text = decode(data.text).trimmed();
    label.pointsBefore = qsizetype(m_entities.points.size());
    if (isFinite(label.x, label.y, label.height) && !label.text.isEmpty())
        m_entities.labels.push_back(std::move(label));
}

void DrawingEntityCollector::addMTextChunk(const std::string &text)
{
    m_mtextChunks += text;
}

void DrawingEntityCollector::addMText(const DL_MTextData &data)
{
    m_openInsert = -1;
    const std::string text = std::move(m_mtextChunks) + data.text;
    m_mtextChunks.clear();
    if (!inModelSpace())
        return;
    DrawingLabel label;
    label.x = data.ipx;
    label.y = data.ipy;
    label.height = std::fabs(data.height);
    label.text = DrawingText::plainMText(decode(text)).trimmed();
    label.pointsBefore = qsizetype(m_entities.points.size());
    if (isFinite(label.x, label.y, label.height) && !label.text.isEmpty())
        m_entities.labels.push_back(std::move(label));
}
