#include "scaling_store.h"

namespace qx {

ScalingLoadResult ScalingStore::load(const std::string &path)
{
    ScalingLoadResult r = loadScalingFile(path);
    m_tables = r.tables;
    return r;
}

} // namespace qx
