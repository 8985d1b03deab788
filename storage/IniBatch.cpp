#include "IniBatch.h"

#include "IniFileCache.h"

IniBatch::IniBatch()
{
    IniFileCache::instance().beginBatch();
}

IniBatch::~IniBatch()
{
    if (!m_ended)
        IniFileCache::instance().endBatch(false);
}

void IniBatch::commit()
{
    if (m_ended)
        return;
    m_ended = true;
    IniFileCache::instance().endBatch(true);
}
