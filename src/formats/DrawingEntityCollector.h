#pragma once

#include "DrawingEntities.h"
#include "DrawingText.h"

#include <dl_creationadapter.h>

// Takes what dxflib reads of a drawing and keeps the points and labels of the model space: entities
// of the paper space and of block definitions are left out (a block's contents are drawn where it is
// inserted, and the insertion is the point). The attributes after a block reference belong to it.
class DrawingEntityCollector : public DL_CreationAdapter {
public:
    explicit DrawingEntityCollector(DrawingText::Encoding encoding) : m_encoding(encoding) {}

    DrawingEntities take() { return std::move(m_entities); }

    void addBlock(const DL_BlockData &data) override;
    void endBlock() override;
    void addPoint(const DL_PointData &data) override;
    void addInsert(const DL_InsertData &data) override;
    void addAttribute(const DL_AttributeData &data) override;
    void endSequence() override;
    void addText(const DL_TextData &data) override;
    void addMTextChunk(const std::string &text) override;
    void addMText(const DL_MTextData &data) override;

private:
    bool inModelSpace() const;
    QString decode(const std::string &text) const;

    DrawingText::Encoding m_encoding;
    DrawingEntities m_entities;
    bool m_inBlock = false;
    bool m_inModelSpaceBlock = false;
    // The block reference whose attributes follow, or -1.
    qsizetype m_openInsert = -1;
    std::string m_mtextChunks;
};
